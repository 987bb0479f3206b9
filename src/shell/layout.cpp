#include "shell/layout.h"

#include <algorithm>

#include "shell/settings.h"

namespace vtome::shell {

using platform::Rect;

void Layout::initSplitter(KeyedStore& settings) {
    // A position past what a window can have counts as not set.
    const std::uint32_t stored = readSplitterPosition(settings);
    splitterPos_ = stored != 0 && stored <= 0x7FFFFFFF ? static_cast<int>(stored) : window_->clientSize().width / 4;
}

void Layout::onSize() {
    if (window_ == nullptr || panes_.splitter == nullptr) return;
    const platform::Size client = window_->clientSize();
    if (client.width < kSmallestClient || client.height < kSmallestClient) return;

    const int top = kNavigationBarHeight;
    const int bottom = client.height - kStatusBarHeight;
    const int height = bottom - top;
    panes_.statusBar->place({0, bottom, client.width, client.height});
    panes_.navigationBar->place(Rect::fromSize(0, 0, client.width, kNavigationBarHeight));
    panes_.splitter->place(Rect::fromSize(splitterPos_, top, kSplitterWidth, height));
    panes_.contents->place(Rect::fromSize(0, top, splitterPos_, height));
    // A window narrower than the contents leaves the text no room rather
    // than a negative width.
    const int textLeft = splitterPos_ + kSplitterWidth;
    panes_.topicView->place(Rect::fromSize(textLeft, top, std::max(0, client.width - textLeft), height));
}

void Layout::saveSplitter(KeyedStore& settings) {
    if (panes_.splitter == nullptr) return;
    splitterPos_ = panes_.splitter->placement().left;
    settings.setUns32(kSettingsSection, kSplitterKey, static_cast<std::uint32_t>(splitterPos_));
}

void Layout::onButtonDown() {
    panes_.splitter->setMouseCapture(true);
    dragging_ = true;
}

void Layout::onMouseMove() {
    if (!dragging_) return;
    const platform::Size client = window_->clientSize();
    int x = window_->cursorPosition().x;
    if (x > client.width - kSplitterMargin) {
        x = client.width - kSplitterMargin;
    } else if (x < kSplitterMargin) {
        x = kSplitterMargin;
    }
    splitterPos_ = x;
    panes_.splitter->place(
        Rect::fromSize(x, kNavigationBarHeight, kSplitterWidth, client.height - kNavigationBarHeight - kStatusBarHeight));
}

void Layout::onButtonUp() {
    panes_.splitter->setMouseCapture(false);
    dragging_ = false;
    onSize();
}

}  // namespace vtome::shell
