#pragma once
// The main window's menu bar, built from the menu resource. Its items only
// report commands: check marks change when the application says so, and
// the items carry no shortcuts because every key goes through the
// application's accelerator table.

#include <QObject>

#include <functional>
#include <unordered_map>

#include "platform/main_window.h"
#include "resources/menu.h"

class QAction;
class QMenu;
class QMenuBar;

namespace vtome::platform::qt {

class QtMenuBar final : public MenuBar {
public:
    // `command` receives the id of every chosen item.
    QtMenuBar(QMenuBar& bar, std::function<void(std::uint32_t)> command);

    void setChecked(std::uint32_t command, bool checked) override;
    bool isChecked(std::uint32_t command) const override;
    void replacePopup(std::size_t position, std::string_view title, std::span<const MenuEntry> items) override;
    void replaceItemsBefore(std::size_t position, std::uint32_t command, std::span<const MenuEntry> items) override;

    // `opening` receives the position of every pop-up of the bar that is
    // about to open, before it is shown.
    void setPopupListener(std::function<void(std::size_t)> opening) { opening_ = std::move(opening); }

    // The action of a command, for tests; null when there is none.
    QAction* action(std::uint32_t command) const;
    // The pop-up at a position of the bar, for tests; null when there is none.
    QMenu* popup(std::size_t position) const;

private:
    QAction* addCommand(QMenu& menu, std::string_view caption, std::uint32_t id, bool checkable,
                        QAction* before = nullptr);
    void fill(QMenu& menu, std::span<const resources::MenuItem> items);
    // Forgets the command ids of actions about to be deleted.
    void forget(const QList<QAction*>& actions);

    QMenuBar& bar_;
    std::function<void(std::uint32_t)> command_;
    std::function<void(std::size_t)> opening_;
    std::unordered_map<std::uint32_t, QAction*> actions_;
    // The actions put in by replaceItemsBefore, by pop-up position.
    std::unordered_map<std::size_t, QList<QAction*>> insertedItems_;
    QObject connections_;
};

}  // namespace vtome::platform::qt
