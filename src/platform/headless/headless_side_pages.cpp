#include "platform/headless/headless_side_pages.h"

#include "platform/headless/headless_panes.h"
#include "platform/headless/headless_platform.h"

namespace vtome::platform::headless {

HeadlessSidePages::HeadlessSidePages(HeadlessPlatform& platform, HeadlessContentsPane& contents,
                                     SidePagesEvents& events)
    : platform_(platform), contents_(contents), events_(events) {}

void HeadlessSidePages::setResults(std::span<const ResultRow> rows) {
    rows_.clear();
    for (const ResultRow& row : rows) rows_.emplace_back(std::string(row.title), row.hits);
    message_.clear();
    selectedRow_.reset();
}

void HeadlessSidePages::setResultsMessage(std::string_view text) {
    rows_.clear();
    message_ = std::string(text);
    selectedRow_.reset();
}

void HeadlessSidePages::selectResult(std::optional<std::uint32_t> row) {
    selectedRow_ = row && *row < rows_.size() ? row : std::nullopt;
}

void HeadlessSidePages::focusResults() {
    page_ = SidePage::Results;
    platform_.setFocus(FocusTarget::ResultsList);
}

bool HeadlessSidePages::resultsHaveFocus() const { return platform_.focus() == FocusTarget::ResultsList; }

void HeadlessSidePages::focusFilter(bool selectText) {
    page_ = SidePage::Contents;
    filterSelected_ = selectText && !filter_.empty();
    platform_.setFocus(FocusTarget::ContentsFilter);
}

bool HeadlessSidePages::filterHasFocus() const { return platform_.focus() == FocusTarget::ContentsFilter; }

void HeadlessSidePages::reloadContents(bool filtered, TreeItem selected) { contents_.reload(filtered, selected); }

std::vector<std::string> HeadlessSidePages::resultLines() const {
    std::vector<std::string> lines;
    for (const auto& [title, hits] : rows_) lines.push_back(title + " (" + std::to_string(hits) + ")");
    return lines;
}

void HeadlessSidePages::clickTab(SidePage page) {
    page_ = page;
    platform_.guard([&] { events_.onPageChosen(page); });
}

void HeadlessSidePages::clickResult(std::uint32_t row) {
    if (row >= rows_.size()) return;
    page_ = SidePage::Results;
    selectedRow_ = row;
    platform_.setFocus(FocusTarget::ResultsList);
    platform_.guard([&] { events_.onResultChosen(row); });
}

void HeadlessSidePages::typeFilter(std::string_view text) {
    filter_ = std::string(text);
    filterSelected_ = false;
    platform_.guard([&] { events_.onFilterChanged(); });
}

char HeadlessSidePages::typedCharacter(std::uint32_t key, std::uint32_t modifiers) {
    if ((modifiers & (modifier::kControl | modifier::kAlt)) != 0) return 0;
    if (key >= 'A' && key <= 'Z') return static_cast<char>((modifiers & modifier::kShift) != 0 ? key : key + 32);
    if ((key >= '0' && key <= '9') || key == vk::kSpace) return static_cast<char>(key);
    return 0;
}

bool HeadlessSidePages::pressKey(std::uint32_t key, std::uint32_t modifiers) {
    const FocusTarget focus = platform_.focus();
    if (focus == FocusTarget::ResultsList) {
        if (key == vk::kDown || key == vk::kUp) {
            if (rows_.empty()) return true;
            const auto last = static_cast<std::uint32_t>(rows_.size() - 1);
            if (!selectedRow_) {
                selectedRow_ = 0;
            } else if (key == vk::kDown) {
                selectedRow_ = std::min(*selectedRow_ + 1, last);
            } else if (*selectedRow_ > 0) {
                selectedRow_ = *selectedRow_ - 1;
            }
            return true;
        }
        if (key == vk::kReturn) {
            if (selectedRow_) {
                const std::uint32_t row = *selectedRow_;
                platform_.guard([&] { events_.onResultChosen(row); });
            }
            return true;
        }
        return false;
    }
    if (focus == FocusTarget::ContentsFilter) {
        if (key == vk::kEscape || key == vk::kReturn || key == vk::kUp || key == vk::kDown) {
            platform_.guard([&] { events_.onFilterKey(key); });
            return true;
        }
        if (key == vk::kBack) {
            if (filterSelected_) {
                typeFilter({});
            } else if (!filter_.empty()) {
                typeFilter(std::string_view(filter_).substr(0, filter_.size() - 1));
            }
            return true;
        }
        if (const char c = typedCharacter(key, modifiers); c != 0) {
            typeFilter(filterSelected_ ? std::string(1, c) : filter_ + c);
            return true;
        }
        // Any other key ends the selection, as a caret key does.
        filterSelected_ = false;
        return false;
    }
    if (focus == FocusTarget::ContentsTree) {
        // Typing in the tree starts the filter with what was typed.
        if (const char c = typedCharacter(key, modifiers); c != 0) {
            focusFilter(false);
            typeFilter(filter_ + c);
            return true;
        }
    }
    return false;
}

}  // namespace vtome::platform::headless
