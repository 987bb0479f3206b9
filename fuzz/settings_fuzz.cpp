// A vTome.ini of any bytes: the settings as the viewer reads them at start-up
// and writes them at shutdown.
//
// Checked: the window placement, the scope, Top Window and the splitter read
// without anything but a RuntimeFailure going wrong; a placement put on
// screen never lands off every screen; the values written at shutdown read
// back; and writing them changes no other key of the section. The text size
// reads within its range, and the recent documents read without failing and
// read back as written, whatever bytes their paths and topic names hold.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "shell/recent_documents.h"
#include "shell/settings.h"

namespace vtome::fuzz {
namespace {

using namespace vtome::shell;

// The keys of the settings section other than the four the viewer writes,
// as the section's lines spell them.
std::vector<std::string> otherKeys(KeyedStore& settings) {
    std::vector<std::string> keys;
    const std::optional<std::string> body = settings.getSectionText(kSettingsSection);
    if (!body) return keys;
    std::string_view rest = *body;
    while (!rest.empty() && keys.size() < 32) {
        const std::size_t end = std::min(rest.find_first_of("\r\n"), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        const std::size_t eq = line.find('=');
        if (eq == line.npos || line.find('[') != line.npos) continue;
        std::string_view key = line.substr(0, eq);
        while (!key.empty() && (key.front() == ' ' || key.front() == '\t')) key.remove_prefix(1);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
        if (key.empty() || key == kWinPosKey || key == kScopeKey || key == kTopKey || key == kSplitterKey) continue;
        keys.emplace_back(key);
    }
    return keys;
}

template <typename Read>
void allowingFailure(Read read) {
    try {
        read();
    } catch (const RuntimeFailure&) {
    }
}

void checkRecent(KeyedStore& settings, Input& script) {
    const int size = readTextSize(settings);
    FUZZ_CHECK(size >= kSmallestTextSize && size <= kLargestTextSize);
    readReopenAtLastPlace(settings);

    RecentDocuments recent;
    recent.load(settings);
    FUZZ_CHECK(recent.entries().size() <= kMaxRecentDocuments);
    const std::string path = "/" + std::string(script.bytes(200));
    recent.add(path);
    recent.setPlace(path, {std::string(script.bytes(300)), script.below(65536)});
    recent.save(settings);

    RecentDocuments again;
    again.load(settings);
    FUZZ_CHECK(again.entries().size() == recent.entries().size());
    for (std::size_t i = 0; i < std::min(again.entries().size(), recent.entries().size()); ++i) {
        const RecentDocument& written = recent.entries()[i];
        const RecentDocument& read = again.entries()[i];
        FUZZ_CHECK(read.path == written.path);
        FUZZ_CHECK(read.place.has_value() == written.place.has_value());
        if (read.place && written.place) {
            FUZZ_CHECK(read.place->topicName == written.place->topicName && read.place->line == written.place->line);
        }
    }
}

void check(KeyedStore& settings, Input& script) {
    const platform::Rect screens[] = {platform::Rect::fromSize(0, 0, 1920, 1080),
                                      platform::Rect::fromSize(1920, 0, 1280, 1024)};
    allowingFailure([&] {
        if (const std::optional<WindowPlacement> placement = readWindowPlacement(settings)) {
            const WindowPlacement back = WindowPlacement::fromBytes(placement->toBytes());
            FUZZ_CHECK(back.left == placement->left && back.width == placement->width);
            // A placement read is one a rectangle can hold, and putting it on
            // screen must not overflow either.
            keepOnScreen(placement->rect(), screens);
        }
    });
    allowingFailure([&] { readDocumentScope(settings); });
    allowingFailure([&] { settings.getInt32(kSettingsSection, kTopKey); });
    allowingFailure([&] { settings.getUns32(kSettingsSection, kSplitterKey); });

    // Shutdown: the four values are written, everything else stays.
    std::vector<std::pair<std::string, std::optional<std::string>>> before;
    for (const std::string& key : otherKeys(settings)) before.emplace_back(key, settings.getString(kSettingsSection, key));

    WindowPlacement placement;
    placement.left = static_cast<std::int32_t>(script.below(65536)) - 20000;
    placement.top = static_cast<std::int32_t>(script.below(4096));
    placement.width = static_cast<std::int32_t>(script.below(4096)) + 1;
    placement.height = static_cast<std::int32_t>(script.below(4096)) + 1;
    const std::uint32_t splitter = script.below(65536);
    const bool documentScope = script.flag();
    const std::int32_t top = script.flag() ? 1 : 0;
    writeWindowPlacement(settings, placement);
    settings.setUns32(kSettingsSection, kSplitterKey, splitter);
    settings.setString(kSettingsSection, kScopeKey, documentScope ? "doc" : "topic");
    settings.setInt32(kSettingsSection, kTopKey, top);

    // Where the section's name first occurs inside another value or a line
    // of another kind, the keys go there; they still read back from there.
    const std::optional<WindowPlacement> read = readWindowPlacement(settings);
    FUZZ_CHECK(read && read->left == placement.left && read->top == placement.top &&
               read->width == placement.width && read->height == placement.height);
    FUZZ_CHECK(settings.getUns32(kSettingsSection, kSplitterKey) == splitter);
    FUZZ_CHECK(readDocumentScope(settings) == documentScope);
    FUZZ_CHECK(settings.getInt32(kSettingsSection, kTopKey) == top);
    for (const auto& [key, value] : before) FUZZ_CHECK(settings.getString(kSettingsSection, key) == value);
}

}  // namespace
}  // namespace vtome::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vtome;
    const fuzz::ScriptAndFile input = fuzz::splitInput(data, size);
    fuzz::Input script(reinterpret_cast<const std::uint8_t*>(input.script.data()), input.script.size());
    try {
        std::unique_ptr<KeyedStore> store = fuzz::loadStore(input.file);
        fuzz::check(*store, script);
        fuzz::checkRecent(*store, script);
    } catch (const RuntimeFailure&) {
    }
    return 0;
}
