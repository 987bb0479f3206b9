#include "platform/qt/menu_bar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "platform/qt/text_codec.h"
#include "resources/ids.h"
#include "resources/menu.h"

namespace vtome::platform::qt {

namespace {

// The items whose check marks show a setting.
bool showsCheckMark(std::uint32_t id) {
    return id == ids::kCmdScopeTopic || id == ids::kCmdScopeDocument || id == ids::kCmdTopWindow;
}

}  // namespace

QtMenuBar::QtMenuBar(QMenuBar& bar, std::function<void(std::uint32_t)> command)
    : bar_(bar), command_(std::move(command)) {
    for (const resources::MenuItem& popup : resources::menuBar()) {
        QMenu* menu = bar_.addMenu(fromBytes(popup.caption));
        fill(*menu, popup.children);
    }
}

void QtMenuBar::fill(QMenu& menu, std::span<const resources::MenuItem> items) {
    for (const resources::MenuItem& item : items) {
        switch (item.kind) {
            case resources::MenuItem::Kind::Separator: menu.addSeparator(); break;
            case resources::MenuItem::Kind::Popup: fill(*menu.addMenu(fromBytes(item.caption)), item.children); break;
            case resources::MenuItem::Kind::Command:
                addCommand(menu, item.caption, item.id, showsCheckMark(item.id));
                break;
        }
    }
}

QAction* QtMenuBar::addCommand(QMenu& menu, std::string_view caption, std::uint32_t id, bool checkable) {
    // Text after a tab is shown right-aligned as the shortcut column.
    QAction* action = menu.addAction(fromBytes(caption));
    action->setCheckable(checkable);
    QObject::connect(action, &QAction::triggered, &connections_, [this, action, id](bool checked) {
        // Qt flips a checkable item when it is chosen; the application sets
        // check marks itself.
        if (action->isCheckable()) action->setChecked(!checked);
        command_(id);
    });
    actions_[id] = action;
    return action;
}

QAction* QtMenuBar::action(std::uint32_t command) const {
    const auto found = actions_.find(command);
    return found != actions_.end() ? found->second : nullptr;
}

void QtMenuBar::setChecked(std::uint32_t command, bool checked) {
    if (QAction* item = action(command)) {
        item->setCheckable(true);
        item->setChecked(checked);
    }
}

bool QtMenuBar::isChecked(std::uint32_t command) const {
    const QAction* item = action(command);
    return item != nullptr && item->isChecked();
}

void QtMenuBar::replacePopup(std::size_t position, std::string_view title, std::span<const MenuEntry> items) {
    const QList<QAction*> popups = bar_.actions();
    if (position >= static_cast<std::size_t>(popups.size())) return;
    QMenu* menu = popups[static_cast<qsizetype>(position)]->menu();
    if (menu == nullptr) return;

    for (QAction* old : menu->actions()) {
        for (auto it = actions_.begin(); it != actions_.end();) {
            it = it->second == old ? actions_.erase(it) : std::next(it);
        }
    }
    menu->clear();
    menu->setTitle(fromBytes(title));
    for (const MenuEntry& entry : items) {
        if (entry.kind == MenuEntry::Kind::Separator) {
            menu->addSeparator();
        } else {
            QAction* action = addCommand(*menu, entry.caption, entry.id, showsCheckMark(entry.id));
            if (entry.literal) {
                QString text = fromBytes(entry.caption);
                text.replace(QChar(u'&'), QStringLiteral("&&"));
                text.replace(QChar(u'\t'), QChar(u' '));
                action->setText(text);
            }
        }
    }
}

}  // namespace vtome::platform::qt
