#pragma once
// The main window's share of the message loop: every key pressed in the main
// window goes through the one routing rule (navigation bar, accelerators,
// focused window) before any widget sees it. Keys in other windows (modal
// dialogs, open menus) are left alone.

#include <QObject>

namespace vtome::platform::qt {

class QtMainWindow;

class KeyRouter final : public QObject {
public:
    explicit KeyRouter(QtMainWindow& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QtMainWindow& window_;
};

}  // namespace vtome::platform::qt
