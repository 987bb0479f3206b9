#include "shell/settings.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <unistd.h>

#include "platform/panes.h"
#include "runtime/failure.h"
#include "shell/install_layout.h"

namespace vtome::shell {

std::array<unsigned char, WindowPlacement::kBytes> WindowPlacement::toBytes() const {
    std::array<unsigned char, kBytes> bytes{};
    const std::int32_t fields[] = {left, top, height, width, spare};
    for (std::size_t f = 0; f < 5; ++f) {
        const auto value = static_cast<std::uint32_t>(fields[f]);
        for (std::size_t b = 0; b < 4; ++b) bytes[f * 4 + b] = static_cast<unsigned char>(value >> (8 * b));
    }
    return bytes;
}

WindowPlacement WindowPlacement::fromBytes(const std::array<unsigned char, kBytes>& bytes) {
    std::int32_t fields[5];
    for (std::size_t f = 0; f < 5; ++f) {
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < 4; ++b) value |= static_cast<std::uint32_t>(bytes[f * 4 + b]) << (8 * b);
        fields[f] = static_cast<std::int32_t>(value);
    }
    return {fields[0], fields[1], fields[2], fields[3], fields[4]};
}

std::string settingsPathFor(const std::string& executablePath) {
    // An installed viewer never writes into its bin/ folder, not even where
    // it could (run by root, or installed to a prefix in the home folder).
    const std::string folder = executableFolder(executablePath);
    if (!isInstalledLayout(executablePath) && ::access(folder.c_str(), W_OK) == 0) {
        return folder + "/" + std::string(kSettingsFileName);
    }

    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string config;
    if (xdg != nullptr && xdg[0] == '/') {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        config = std::string(home != nullptr ? home : "") + "/.config";
    }
    return config + "/vtome/" + std::string(kSettingsFileName);
}

namespace {

// A value that cannot be read counts as missing.
template <typename Value, typename Read>
Value readOrDefault(Value missing, Read read) {
    try {
        return read();
    } catch (const RuntimeFailure&) {
        return missing;
    }
}

}  // namespace

std::optional<WindowPlacement> readWindowPlacement(KeyedStore& settings) {
    std::array<unsigned char, WindowPlacement::kBytes> bytes{};
    std::uint32_t stored = 0;
    const bool read = readOrDefault(false, [&] {
        return settings.getBytes(kSettingsSection, kWinPosKey, bytes.data(), WindowPlacement::kBytes, &stored);
    });
    if (!read) return std::nullopt;
    // A cut-short record or an empty size would put the window out of reach.
    const WindowPlacement placement = WindowPlacement::fromBytes(bytes);
    if (stored < WindowPlacement::kBytes || placement.width <= 0 || placement.height <= 0) return std::nullopt;
    // A hand-edited record whose edges lie past the coordinates a window can have.
    constexpr long long kLargest = std::numeric_limits<int>::max();
    if (static_cast<long long>(placement.left) + placement.width > kLargest ||
        static_cast<long long>(placement.top) + placement.height > kLargest) {
        return std::nullopt;
    }
    return placement;
}

void writeWindowPlacement(KeyedStore& settings, const WindowPlacement& placement) {
    const auto bytes = placement.toBytes();
    settings.setBytes(kSettingsSection, kWinPosKey, bytes.data(), WindowPlacement::kBytes);
}

namespace {

// The window moved and shrunk as little as needed to lie within the screen.
platform::Rect fitInto(const platform::Rect& window, const platform::Rect& screen) {
    const int width = std::min(window.width(), screen.width());
    const int height = std::min(window.height(), screen.height());
    const int left = std::clamp(window.left, screen.left, screen.right - width);
    const int top = std::clamp(window.top, screen.top, screen.bottom - height);
    return platform::Rect::fromSize(left, top, width, height);
}

}  // namespace

platform::Rect keepOnScreen(const platform::Rect& window, std::span<const platform::Rect> screens) {
    // Enough of the title bar to grab it with the mouse.
    constexpr long long kGrabWidth = 60;
    constexpr long long kGrabHeight = 30;
    if (screens.empty()) return window;
    for (const platform::Rect& screen : screens) {
        const long long left = std::max(window.left, screen.left);
        const long long right = std::min(window.right, screen.right);
        const long long top = std::max(window.top, screen.top);
        const long long bottom = std::min<long long>(window.top + kGrabHeight, screen.bottom);
        if (right - left < kGrabWidth || bottom - top < kGrabHeight) continue;
        // On this screen, and no larger than it: a window stored on a larger
        // screen, or at a smaller display scale, shrinks to fit it.
        if (window.width() <= screen.width() && window.height() <= screen.height()) return window;
        return fitInto(window, screen);
    }
    return fitInto(window, screens.front());
}

bool readDocumentScope(KeyedStore& settings) {
    return readOrDefault(false, [&] {
        const std::optional<std::string> scope = settings.getString(kSettingsSection, kScopeKey);
        return scope && *scope == "doc";
    });
}

bool readTopWindow(KeyedStore& settings) {
    return readOrDefault(false, [&] { return settings.getInt32(kSettingsSection, kTopKey) != 0; });
}

std::uint32_t readSplitterPosition(KeyedStore& settings) {
    return readOrDefault(std::uint32_t{0}, [&] { return settings.getUns32(kSettingsSection, kSplitterKey); });
}

platform::SidePage readLeftPage(KeyedStore& settings) {
    return readOrDefault(platform::SidePage::Contents, [&] {
        const std::optional<std::string> page = settings.getString(kSettingsSection, kLeftPageKey);
        return page && *page == "results" ? platform::SidePage::Results : platform::SidePage::Contents;
    });
}

void writeLeftPage(KeyedStore& settings, platform::SidePage page) {
    const bool results = page == platform::SidePage::Results;
    if (!results && !settings.getString(kSettingsSection, kLeftPageKey)) return;
    settings.setString(kSettingsSection, kLeftPageKey, results ? "results" : "contents");
}

namespace {

// Small steps at the small sizes, where one pixel shows; larger ones above.
constexpr int kTextSizeSteps[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 32, 36, 42, 48, 56, 64, 72};
constexpr int kStandardTextSize = platform::TopicTextView::kStandardTextSize;

}  // namespace

int readTextSize(KeyedStore& settings) {
    const std::uint32_t stored =
        readOrDefault(std::uint32_t{0}, [&] { return settings.getUns32(kSettingsSection, kTextSizeKey); });
    if (stored < kSmallestTextSize || stored > kLargestTextSize) return kStandardTextSize;
    return static_cast<int>(stored);
}

int largerTextSize(int size) {
    for (const int step : kTextSizeSteps) {
        if (step > size) return step;
    }
    return size;
}

int smallerTextSize(int size) {
    for (auto step = std::rbegin(kTextSizeSteps); step != std::rend(kTextSizeSteps); ++step) {
        if (*step < size) return *step;
    }
    return size;
}

bool readReopenAtLastPlace(KeyedStore& settings) {
    return readOrDefault(false, [&] { return settings.getInt32(kSettingsSection, kLastPlaceKey) != 0; });
}

}  // namespace vtome::shell
