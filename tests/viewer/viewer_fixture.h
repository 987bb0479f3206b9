#pragma once
// The whole viewer on the headless platform: a fresh Application per test,
// started in a folder of its own (the current directory while the test runs),
// with its settings file in that folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "resources/ids.h"
#include "shell/application.h"
#include "support/temp_dir.h"

namespace vtome::testing {

// A small document: header, contents with depths and titles, three topics
// with text and one without a section.
inline const std::string kGuide =
    "[vTome Header]\r\n<text>\r\nGuide to the tool.\r\n</text>\r\n\r\n"
    "[vTome Contents]\r\nIntro=Introduction\r\n.Install=Installing\r\nUsage\r\nMissing=No Section\r\nLast\r\n\r\n"
    "[Intro]\r\n<text>\r\nWhat the tool does.\r\n</text>\r\n\r\n"
    "[Install]\r\nRun the setup program.\r\n\r\n"
    "[Usage]\r\n<text>\r\nUse it.\r\n</text>\r\n\r\n"
    "[Last]\r\n<text>\r\nThe end.\r\n</text>\r\n";

class ViewerTest : public ::testing::Test {
protected:
    ViewerTest() : previousFolder_(std::filesystem::current_path()) { std::filesystem::current_path(dir_.path()); }
    ~ViewerTest() override { std::filesystem::current_path(previousFolder_); }

    // Starts the viewer as `vtome args...`; false when start-up ended it.
    bool start(std::vector<std::string> args = {}) {
        app_ = std::make_unique<shell::Application>(
            platform_, shell::LaunchContext{std::move(args), dir_.file("vtome"), settingsPath(), dataFolder()});
        bool started = false;
        platform_.guard([&] { started = app_->start(); });
        return started;
    }

    // Runs the viewer as main() does; the exit code (the loop ends at once
    // on the headless platform).
    int runViewer(std::vector<std::string> args = {}) {
        app_ = std::make_unique<shell::Application>(
            platform_, shell::LaunchContext{std::move(args), dir_.file("vtome"), settingsPath(), dataFolder()});
        int code = -1;
        platform_.guard([&] { code = app_->run(); });
        return code;
    }

    std::string settingsPath() const { return dir_.file("vTome.ini"); }
    // Where user data goes that cannot stay beside its document.
    std::string dataFolder() const { return dir_.file("data"); }
    std::string writeDocument(const std::string& name, const std::string& bytes = kGuide) {
        writeFile(dir_.file(name), bytes);
        return dir_.file(name);
    }

    platform::headless::HeadlessDialog& bar() { return platform_.dialogPane(ids::kDialogNavigationBar)->dialog(); }
    platform::headless::HeadlessTopicView& view() { return *platform_.topicView(); }
    platform::headless::HeadlessContentsPane& tree() { return *platform_.contentsPane(); }
    HelpDocument& document() { return app_->viewer().document(); }
    const TopicEntry* current() { return document().currentTopic; }
    std::string currentTitle() { return current() ? std::string(current()->title()) : std::string("(none)"); }
    std::vector<std::string> historyTitles() {
        std::vector<std::string> titles;
        for (auto* e = static_cast<HistoryEntry*>(document().history.first()); e != nullptr;
             e = static_cast<HistoryEntry*>(e->next)) {
            titles.emplace_back(e->topic->title());
        }
        return titles;
    }
    TopicEntry* topic(std::string_view title) { return document().index->findByTitle(title); }
    void press(std::uint32_t key, std::uint32_t modifiers = platform::modifier::kNone) {
        platform_.pressKey(key, modifiers);
    }
    void closeWindow() { platform_.clickCloseBox(); }

    TempDir dir_;
    platform::headless::HeadlessPlatform platform_;
    std::unique_ptr<shell::Application> app_;

private:
    std::filesystem::path previousFolder_;
};

}  // namespace vtome::testing
