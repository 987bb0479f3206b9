#pragma once
// The main window: a Qt main window whose central widget is the client
// area. The panes are its children, placed by the application in client
// coordinates, and the client area itself is "the main window" where the
// keyboard focus rests between commands. Window events reach the
// application as its window messages.

#include <QMainWindow>
#include <QRect>

#include <memory>
#include <optional>
#include <vector>

#include "platform/file_watcher.h"
#include "platform/main_window.h"
#include "platform/panes.h"
#include "platform/qt/call_guard.h"

namespace vtome::platform::qt {

class KeyRouter;
class MainFrame;
class QtDialogPane;
class QtMenuBar;

class QtMainWindow final : public MainWindow {
public:
    QtMainWindow(WindowProcedure& procedure, CallGuard& guard, std::string_view title);
    ~QtMainWindow() override;
    QtMainWindow(const QtMainWindow&) = delete;
    QtMainWindow& operator=(const QtMainWindow&) = delete;

    void setTitle(std::string_view title) override;
    std::string title() const override;
    Rect windowRect() const override;
    void moveWindow(const Rect& rect) override;
    Size clientSize() const override;
    bool isMinimized() const override;
    void setTopmost(bool topmost) override;
    bool isTopmost() const override;
    void show() override;
    void focus() override;
    bool hasFocus() const override;
    Point cursorPosition() const override;
    std::vector<Rect> screenAreas() const override;
    MenuBar& menuBar() override;
    std::vector<std::string> droppedFiles() const override { return droppedFiles_; }

    QMainWindow* frame() const;
    QWidget* client() const { return client_; }
    QtMenuBar& qtMenuBar() { return *menuBar_; }

    // A message to the application's window procedure, through the guard.
    void sendMessage(std::uint32_t message, std::uint64_t wparam = 0, std::int64_t lparam = 0);

    // The panes live exactly as long as the window.
    template <typename PaneType>
    PaneType& adopt(std::unique_ptr<PaneType> pane) {
        PaneType& adopted = *pane;
        panes_.push_back(std::move(pane));
        return adopted;
    }
    // The document's watcher, too; a new one replaces the one before.
    FileWatcher& adoptWatcher(std::unique_ptr<FileWatcher> watcher) {
        watcher_ = std::move(watcher);
        return *watcher_;
    }
    // Dialog panes get the dialog keys while the focus is in them.
    void addDialogPane(QtDialogPane& pane) { dialogPanes_.push_back(&pane); }
    QtDialogPane* dialogPaneContaining(const QWidget* widget) const;

private:
    friend class MainFrame;
    void onShown();
    // Local files dropped on the window: kDropFiles while they are named.
    void onFilesDropped(std::vector<std::string> paths);
    // Applies a frame rectangle asked for while the frame was unknown.
    void applyPendingFrame();

    WindowProcedure& procedure_;
    CallGuard& guard_;
    MainFrame* frame_;
    QWidget* client_;
    std::unique_ptr<QtMenuBar> menuBar_;
    std::unique_ptr<KeyRouter> keyRouter_;
    std::vector<std::unique_ptr<Pane>> panes_;
    std::unique_ptr<FileWatcher> watcher_;
    std::vector<QtDialogPane*> dialogPanes_;
    // A frame rectangle asked for before the window manager has told the
    // frame's size: applied again once it is known.
    std::optional<Rect> pendingFrame_;
    std::vector<std::string> droppedFiles_;
};

}  // namespace vtome::platform::qt
