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
    return id == ids::kCmdScopeTopic || id == ids::kCmdScopeDocument || id == ids::kCmdTopWindow ||
           id == ids::kCmdReopenAtLastPlace;
}

// A caption shown exactly as written: no mnemonic, no shortcut column.
QString literalCaption(std::string_view caption) {
    QString text = fromBytes(caption);
    text.replace(QChar(u'&'), QStringLiteral("&&"));
    text.replace(QChar(u'\t'), QChar(u' '));
    return text;
}

}  // namespace

QtMenuBar::QtMenuBar(QMenuBar& bar, std::function<void(std::uint32_t)> command)
    : bar_(bar), command_(std::move(command)) {
    std::size_t position = 0;
    for (const resources::MenuItem& popup : resources::menuBar()) {
        QMenu* menu = bar_.addMenu(fromBytes(popup.caption));
        fill(*menu, popup.children);
        QObject::connect(menu, &QMenu::aboutToShow, &connections_, [this, position] {
            if (opening_) opening_(position);
        });
        ++position;
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

QAction* QtMenuBar::addCommand(QMenu& menu, std::string_view caption, std::uint32_t id, bool checkable,
                               QAction* before) {
    // Text after a tab is shown right-aligned as the shortcut column.
    QAction* action = new QAction(fromBytes(caption), &menu);
    menu.insertAction(before, action);
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

QMenu* QtMenuBar::popup(std::size_t position) const {
    const QList<QAction*> popups = bar_.actions();
    if (position >= static_cast<std::size_t>(popups.size())) return nullptr;
    return popups[static_cast<qsizetype>(position)]->menu();
}

void QtMenuBar::forget(const QList<QAction*>& actions) {
    for (QAction* old : actions) {
        for (auto it = actions_.begin(); it != actions_.end();) {
            it = it->second == old ? actions_.erase(it) : std::next(it);
        }
    }
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
    QMenu* menu = popup(position);
    if (menu == nullptr) return;

    forget(menu->actions());
    insertedItems_.erase(position);
    menu->clear();
    menu->setTitle(fromBytes(title));
    for (const MenuEntry& entry : items) {
        if (entry.kind == MenuEntry::Kind::Separator) {
            menu->addSeparator();
        } else {
            QAction* action = addCommand(*menu, entry.caption, entry.id, showsCheckMark(entry.id));
            if (entry.literal) action->setText(literalCaption(entry.caption));
        }
    }
}

void QtMenuBar::replaceItemsBefore(std::size_t position, std::uint32_t command, std::span<const MenuEntry> items) {
    QMenu* menu = popup(position);
    QAction* before = action(command);
    if (menu == nullptr || before == nullptr || !menu->actions().contains(before)) return;

    QList<QAction*>& inserted = insertedItems_[position];
    forget(inserted);
    for (QAction* old : inserted) {
        menu->removeAction(old);
        old->deleteLater();
    }
    inserted.clear();
    for (const MenuEntry& entry : items) {
        QAction* added = nullptr;
        if (entry.kind == MenuEntry::Kind::Separator) {
            added = menu->insertSeparator(before);
        } else {
            added = addCommand(*menu, entry.caption, entry.id, showsCheckMark(entry.id), before);
            if (entry.literal) added->setText(literalCaption(entry.caption));
        }
        inserted.push_back(added);
    }
}

}  // namespace vtome::platform::qt
