// The settings record and where a restored window may go.

#include <gtest/gtest.h>

#include "shell/settings.h"

namespace vtome::shell {
namespace {

using platform::Rect;

TEST(WindowPlacement, RecordIsLittleEndianWithHeightBeforeWidth) {
    const WindowPlacement placement{100, 50, 600, 800, -2};
    const auto bytes = placement.toBytes();
    const unsigned char expected[20] = {0x64, 0, 0, 0, 0x32, 0, 0, 0, 0x58, 0x02, 0, 0,
                                        0x20, 0x03, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), expected));
    const WindowPlacement back = WindowPlacement::fromBytes(bytes);
    EXPECT_EQ(back.rect(), Rect::fromSize(100, 50, 800, 600));
    EXPECT_EQ(back.spare, -2);
}

TEST(WindowPlacement, KeepOnScreen) {
    const Rect screens[] = {Rect::fromSize(0, 0, 1920, 1080), Rect::fromSize(1920, 0, 1280, 1024)};
    const Rect visible = Rect::fromSize(100, 50, 800, 600);
    EXPECT_EQ(keepOnScreen(visible, screens), visible);
    const Rect onSecond = Rect::fromSize(2000, 100, 800, 600);
    EXPECT_EQ(keepOnScreen(onSecond, screens), onSecond);
    // Mostly off the right edge, but the title bar is still reachable.
    const Rect hanging = Rect::fromSize(3100, 10, 800, 600);
    EXPECT_EQ(keepOnScreen(hanging, screens), hanging);
    // A screen that is gone, a minimized position, a title bar above the top.
    EXPECT_EQ(keepOnScreen(Rect::fromSize(5000, 100, 800, 600), screens), Rect::fromSize(1120, 100, 800, 600));
    EXPECT_EQ(keepOnScreen(Rect::fromSize(-32000, -32000, 160, 28), screens), Rect::fromSize(0, 0, 160, 28));
    EXPECT_EQ(keepOnScreen(Rect::fromSize(100, -500, 800, 600), screens), Rect::fromSize(100, 0, 800, 600));
    // Larger than the screen: shrunk to fit.
    EXPECT_EQ(keepOnScreen(Rect::fromSize(-5000, 0, 4000, 3000), screens), Rect::fromSize(0, 0, 1920, 1080));
    EXPECT_EQ(keepOnScreen(visible, {}), visible);
    // Placed on a screen smaller than itself (a larger screen before, or a
    // display scale of 2 now): shrunk and moved within that screen.
    EXPECT_EQ(keepOnScreen(Rect::fromSize(0, 0, 2400, 1800), screens), Rect::fromSize(0, 0, 1920, 1080));
    EXPECT_EQ(keepOnScreen(Rect::fromSize(2000, 100, 1600, 1200), screens), Rect::fromSize(1920, 0, 1280, 1024));
}

TEST(WindowPlacement, ARecordPastTheCoordinatesOfAWindowIsNotRestored) {
    auto store = KeyedStore::newEmpty();
    writeWindowPlacement(*store, {0x7FFFFFF0, 10, 600, 256, 0});
    EXPECT_FALSE(readWindowPlacement(*store));
    writeWindowPlacement(*store, {10, 0x7FFFFF00, 600, 800, 0});
    EXPECT_FALSE(readWindowPlacement(*store));
    writeWindowPlacement(*store, {-0x7FFFFFF0, -20, 600, 800, 0});
    const std::optional<WindowPlacement> far = readWindowPlacement(*store);
    ASSERT_TRUE(far);
    EXPECT_EQ(keepOnScreen(far->rect(), std::vector<Rect>{Rect::fromSize(0, 0, 1920, 1080)}), Rect::fromSize(0, 0, 800, 600));
}

}  // namespace
}  // namespace vtome::shell
