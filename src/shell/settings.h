#pragma once
// The settings file vTome.ini: window position, search scope, Top Window and
// splitter, in the section "vTome Settings". Read at start-up, changed in
// memory by the commands, written whole at every orderly shutdown.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/geometry.h"
#include "platform/side_pages.h"
#include "store/keyed_store.h"

namespace vtome::shell {

constexpr std::string_view kSettingsSection = "vTome Settings";
constexpr std::string_view kWinPosKey = "WinPos";
constexpr std::string_view kScopeKey = "Scope";
constexpr std::string_view kTopKey = "top";
constexpr std::string_view kSplitterKey = "vBar";
constexpr std::string_view kSettingsFileName = "vTome.ini";
// The page shown left of the text: "contents" or "results".
constexpr std::string_view kLeftPageKey = "LeftPage";
// The topic text's size in pixels, and whether a document opened without
// a start topic comes back at its last place (1) or at its title page (0,
// the default).
constexpr std::string_view kTextSizeKey = "TextSize";
constexpr std::string_view kLastPlaceKey = "LastPlace";

// The "WinPos" record: five signed 32-bit numbers, least significant byte
// first, height before width.
struct WindowPlacement {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t spare = 0;

    static constexpr std::uint32_t kBytes = 20;
    std::array<unsigned char, kBytes> toBytes() const;
    static WindowPlacement fromBytes(const std::array<unsigned char, kBytes>& bytes);
    platform::Rect rect() const { return platform::Rect::fromSize(left, top, width, height); }
};

// Where vTome.ini lives: beside the executable when that folder is writable
// and the viewer is not installed (isInstalledLayout), else in
// $XDG_CONFIG_HOME/vtome (default ~/.config/vtome).
std::string settingsPathFor(const std::string& executablePath);

// The stored window placement, or none when the key is missing, unreadable,
// shorter than the record or of no size.
std::optional<WindowPlacement> readWindowPlacement(KeyedStore& settings);
void writeWindowPlacement(KeyedStore& settings, const WindowPlacement& placement);

// The window rectangle itself when its title bar can be reached on one of
// the screens; otherwise moved (and shrunk when larger) onto the first screen.
platform::Rect keepOnScreen(const platform::Rect& window, std::span<const platform::Rect> screens);

// True for the scope "Document": the value must be exactly "doc".
bool readDocumentScope(KeyedStore& settings);
// "top" set to anything but 0.
bool readTopWindow(KeyedStore& settings);
// "vBar", 0 when not set.
std::uint32_t readSplitterPosition(KeyedStore& settings);

// "LeftPage": Results only for exactly "results".
platform::SidePage readLeftPage(KeyedStore& settings);
// Stores the page; a file that never had the key gets it only for Results,
// so that settings of a viewer never switched keep their bytes.
void writeLeftPage(KeyedStore& settings, platform::SidePage page);

// "TextSize" when it lies from kSmallestTextSize to kLargestTextSize, else
// the standard 12 pixels.
int readTextSize(KeyedStore& settings);
constexpr int kSmallestTextSize = 6;
constexpr int kLargestTextSize = 72;
// The sizes Ctrl+Plus and Ctrl+Minus step through: the next one above or
// below `size` (a size between two steps goes to the nearer step in that
// direction), or `size` itself at either end.
int largerTextSize(int size);
int smallerTextSize(int size);
// "LastPlace" set to anything but 0.
bool readReopenAtLastPlace(KeyedStore& settings);

// Every reading above takes a value it cannot read (too large, a byte of
// 128 or more by the digits, a line longer than the lookups' working text)
// for a missing one, so that one bad value never keeps the viewer from
// starting.

}  // namespace vtome::shell
