#pragma once
// A document with a long topic to scroll through, for the tests of Forward,
// the text size, the recent documents, the last place and reloading.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "resources/menu.h"
#include "viewer_fixture.h"

namespace vtome::testing {

// Lines "Line 1" to "Line n", one display line each at any text size.
inline std::string numberedLines(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) text += "Line " + std::to_string(i) + "\r\n";
    return text;
}

// Intro, a Long topic of 60 lines, Usage, a contents entry without its
// section, and Last.
inline std::string bookWith(const std::string& longText) {
    return "[vTome Header]\r\n<text>\r\nThe book.\r\n</text>\r\n\r\n"
           "[vTome Contents]\r\nIntro=Introduction\r\nLong=Long Topic\r\nUsage\r\nMissing=No Section\r\nLast\r\n\r\n"
           "[Intro]\r\n<text>\r\nWhat it does.\r\n</text>\r\n\r\n"
           "[Long]\r\n<text>\r\n" +
           longText +
           "</text>\r\n\r\n"
           "[Usage]\r\n<text>\r\nUse it.\r\n</text>\r\n\r\n"
           "[Last]\r\n<text>\r\nThe end.\r\n</text>\r\n";
}
inline const std::string kBook = bookWith(numberedLines(60));

class ComfortTest : public ViewerTest {
protected:
    std::string writeBook(const std::string& name, const std::string& bytes = kBook) {
        return writeDocument(name, bytes);
    }
    void show(std::string_view title) { app_->viewer().selectTopic(topic(title)); }
    void scrollDown(int lines) {
        for (int i = 0; i < lines; ++i) press(platform::vk::kDown);
    }
    // File > Open with this file chosen.
    void openChosen(const std::string& path) {
        platform_.answerOpenDialog(path);
        platform_.chooseMenu(ids::kCmdOpen);
    }
    // Rewrites a file so that it is seen to have changed, however fast the
    // test runs: its time of change moves on by two seconds.
    void rewrite(const std::string& path, const std::string& bytes) {
        std::error_code ignored;
        const auto before = std::filesystem::last_write_time(path, ignored);
        writeFile(path, bytes);
        std::filesystem::last_write_time(path, before + std::chrono::seconds(2), ignored);
    }
    std::vector<std::string> recentPaths() {
        std::vector<std::string> paths;
        for (const shell::RecentDocument& e : app_->recentDocuments().entries()) paths.push_back(e.path);
        return paths;
    }
    // The captions of the File menu's recent items, as the File menu shows them now.
    std::vector<std::string> recentItems() {
        platform_.openMenu(resources::kFileMenuPosition);
        std::vector<std::string> captions;
        for (const platform::MenuEntry& e : platform_.mainWindow()->itemsBefore(resources::kFileMenuPosition)) {
            captions.push_back(e.kind == platform::MenuEntry::Kind::Separator ? "---" : e.caption);
        }
        return captions;
    }
    std::string status() { return platform_.statusBar()->text(); }
};

}  // namespace vtome::testing
