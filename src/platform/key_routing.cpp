#include "platform/key_routing.h"

#include "resources/finding_keys.h"
#include "resources/ids.h"
#include "resources/menu.h"

namespace vtome::platform {

namespace {

bool isBarDialogKey(std::uint32_t key) { return key == vk::kTab || key == vk::kReturn || key == vk::kEscape; }

// Keys an edit or combo box uses itself.
bool isEditingKey(std::uint32_t key) {
    switch (key) {
        case vk::kHome: case vk::kEnd: case vk::kPrior: case vk::kNext: case vk::kLeft: case vk::kRight:
        case vk::kUp: case vk::kDown: case vk::kBack: case vk::kInsert: case vk::kDelete:
            return true;
        default:
            return false;
    }
}

// Keys a pane's text field or list keeps, as a field or a list does.
bool isPaneControlKey(std::uint32_t key, FocusedControlKind focused) {
    switch (focused) {
        case FocusedControlKind::Other: return false;
        case FocusedControlKind::List: return key == vk::kUp || key == vk::kDown || key == vk::kReturn;
        case FocusedControlKind::TextField:
            switch (key) {
                case vk::kHome: case vk::kEnd: case vk::kLeft: case vk::kRight: case vk::kBack: case vk::kDelete:
                case vk::kUp: case vk::kDown: case vk::kReturn: case vk::kEscape:
                    return true;
                default:
                    return false;
            }
    }
    return false;
}

std::uint32_t findingKeyCommand(const KeyPress& key) {
    for (const resources::Accelerator& accelerator : resources::findingKeyTable()) {
        if (accelerator.key == key.key && accelerator.modifiers == key.modifiers) return accelerator.command;
    }
    return 0;
}

}  // namespace

std::uint32_t acceleratorCommand(const KeyPress& key) {
    for (auto table : {resources::acceleratorTable(), resources::addedAcceleratorTable()}) {
        for (const resources::Accelerator& accelerator : table) {
            if (accelerator.key == key.key && accelerator.modifiers == key.modifiers) return accelerator.command;
        }
    }
    return 0;
}

std::uint32_t wheelCommand(int notches, std::uint32_t modifiers) {
    if (notches == 0 || modifiers != modifier::kControl) return 0;
    return notches > 0 ? ids::kCmdTextLarger : ids::kCmdTextSmaller;
}

KeyRoute routeKeyPress(const KeyPress& key, bool focusInNavigationBar, FocusedControlKind focused) {
    if (focusInNavigationBar) {
        if (isBarDialogKey(key.key) && (key.modifiers & (modifier::kControl | modifier::kAlt)) == 0) {
            return {KeyRoute::Target::NavigationBarDialog, 0};
        }
        if (isEditingKey(key.key) && (key.modifiers & modifier::kAlt) == 0) {
            return {KeyRoute::Target::FocusedControl, 0};
        }
    } else if ((key.modifiers & (modifier::kControl | modifier::kAlt)) == 0 && isPaneControlKey(key.key, focused)) {
        return {KeyRoute::Target::FocusedControl, 0};
    }
    if (const std::uint32_t command = acceleratorCommand(key); command != 0) {
        return {KeyRoute::Target::Accelerator, command};
    }
    if (const std::uint32_t command = findingKeyCommand(key); command != 0) {
        return {KeyRoute::Target::Accelerator, command};
    }
    return {KeyRoute::Target::FocusedControl, 0};
}

}  // namespace vtome::platform
