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

    // The action of a command, for tests; null when there is none.
    QAction* action(std::uint32_t command) const;

private:
    QAction* addCommand(QMenu& menu, std::string_view caption, std::uint32_t id, bool checkable);
    void fill(QMenu& menu, std::span<const resources::MenuItem> items);

    QMenuBar& bar_;
    std::function<void(std::uint32_t)> command_;
    std::unordered_map<std::uint32_t, QAction*> actions_;
    QObject connections_;
};

}  // namespace vtome::platform::qt
