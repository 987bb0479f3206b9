#include "shell/settings.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

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

std::optional<WindowPlacement> readWindowPlacement(KeyedStore& settings) {
    std::array<unsigned char, WindowPlacement::kBytes> bytes{};
    std::uint32_t stored = 0;
    if (!settings.getBytes(kSettingsSection, kWinPosKey, bytes.data(), WindowPlacement::kBytes, &stored)) {
        return std::nullopt;
    }
    // A cut-short record or an empty size would put the window out of reach.
    const WindowPlacement placement = WindowPlacement::fromBytes(bytes);
    if (stored < WindowPlacement::kBytes || placement.width <= 0 || placement.height <= 0) return std::nullopt;
    return placement;
}

void writeWindowPlacement(KeyedStore& settings, const WindowPlacement& placement) {
    const auto bytes = placement.toBytes();
    settings.setBytes(kSettingsSection, kWinPosKey, bytes.data(), WindowPlacement::kBytes);
}

platform::Rect keepOnScreen(const platform::Rect& window, std::span<const platform::Rect> screens) {
    // Enough of the title bar to grab it with the mouse.
    constexpr int kGrabWidth = 60;
    constexpr int kGrabHeight = 30;
    if (screens.empty()) return window;
    for (const platform::Rect& screen : screens) {
        const int left = std::max(window.left, screen.left);
        const int right = std::min(window.right, screen.right);
        const int top = std::max(window.top, screen.top);
        const int bottom = std::min(window.top + kGrabHeight, screen.bottom);
        if (right - left >= kGrabWidth && bottom - top >= kGrabHeight) return window;
    }
    const platform::Rect& screen = screens.front();
    const int width = std::min(window.width(), screen.width());
    const int height = std::min(window.height(), screen.height());
    const int left = std::clamp(window.left, screen.left, screen.right - width);
    const int top = std::clamp(window.top, screen.top, screen.bottom - height);
    return platform::Rect::fromSize(left, top, width, height);
}

bool readDocumentScope(KeyedStore& settings) {
    const std::optional<std::string> scope = settings.getString(kSettingsSection, kScopeKey);
    return scope && *scope == "doc";
}

}  // namespace vtome::shell
