#pragma once
// The panes of the main window and where they go: the navigation bar across
// the top, the contents on the left, the splitter, the topic view on the
// right and the status bar below. Dragging the splitter moves only the
// splitter; the other panes follow when the button is released.

#include "platform/main_window.h"
#include "platform/panes.h"
#include "store/keyed_store.h"

namespace vtome::shell {

class Layout : public platform::SplitterEvents {
public:
    static constexpr int kNavigationBarHeight = 52;
    static constexpr int kStatusBarHeight = 21;
    static constexpr int kSplitterWidth = 3;
    static constexpr int kSplitterMargin = 20;
    static constexpr int kSmallestClient = 30;

    struct Panes {
        platform::StatusBar* statusBar = nullptr;
        platform::Pane* navigationBar = nullptr;
        platform::Pane* contents = nullptr;
        platform::Splitter* splitter = nullptr;
        platform::Pane* topicView = nullptr;
    };

    void attach(platform::MainWindow& window, const Panes& panes) {
        window_ = &window;
        panes_ = panes;
    }
    // The splitter's position from "vBar", or a quarter of the client width.
    void initSplitter(KeyedStore& settings);
    // Places every pane for the current client size (nothing below 30 pixels).
    void onSize();
    // Stores the splitter's position as "vBar".
    void saveSplitter(KeyedStore& settings);
    int splitterPos() const { return splitterPos_; }
    bool dragging() const { return dragging_; }

    void onMouseMove() override;
    void onButtonDown() override;
    void onButtonUp() override;

private:
    platform::MainWindow* window_ = nullptr;
    Panes panes_;
    int splitterPos_ = 0;
    bool dragging_ = false;
};

}  // namespace vtome::shell
