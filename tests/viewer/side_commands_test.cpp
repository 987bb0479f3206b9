// The side commands: File > Save As (the text export), F1 (the manual in a
// second instance), Help > Keyboard Shortcuts and Help > About.

#include <chrono>

#include "support/process.h"
#include "viewer_fixture.h"

namespace vtome {
namespace {

namespace fs = std::filesystem;
namespace vk = platform::vk;
using platform::headless::FocusTarget;
using platform::headless::HeadlessDialog;
using testing::readFile;
using testing::writeFile;
using Titles = std::vector<std::string>;
using namespace std::string_literals;

// --- File > Save As

class Export : public testing::ViewerTest {
protected:
    // Opens `bytes` as doc.vtome and saves it as text to `target`.
    void exportTo(const std::string& target, const std::string& bytes = testing::kGuide) {
        writeDocument("doc.vtome", bytes);
        ASSERT_TRUE(start({"doc.vtome"}));
        platform_.answerSaveDialog(target);
        platform_.chooseMenu(ids::kCmdSaveAs);
    }
};

TEST_F(Export, HeaderContentsAndTwoTopicsGiveFourBlocksAfterAnEmptyLine) {
    const std::string doc =
        "[vTome Header]\r\n<text>\r\nTitle page.\r\n</text>\r\n\r\n"
        "[vTome Contents]\r\nA=Alpha\r\n.B\r\n\r\n"
        "[A]\r\n<text>\r\nLine one.\r\n\r\nLine three.\r\n</text>\r\n\r\n"
        "[B]\r\nplain=1\r\nlines\r\n";
    exportTo(dir_.file("out.txt"), doc);
    EXPECT_EQ(readFile(dir_.file("out.txt")),
              "\r\n"
              "vTome Header:\r\nTitle page.\r\n\r\n"
              "vTome Contents:\r\nA=Alpha\r\n.B\r\n\r\n\r\n\r\n"
              "A:\r\nLine one.\r\n\r\nLine three.\r\n\r\n"
              "B:\r\nplain=1\r\nlines\r\n\r\n\r\n");
}

TEST_F(Export, TheDialogAsksForATextFileInTheCurrentFolderAndTheFolderFollowsTheChoice) {
    fs::create_directory(dir_.path() / "saved");
    exportTo(dir_.file("saved/out.txt"));
    ASSERT_EQ(platform_.fileDialogs().size(), 1u);
    const platform::FileDialogRequest& request = platform_.fileDialogs()[0];
    EXPECT_TRUE(fs::equivalent(request.startFolder, dir_.path()));
    EXPECT_EQ(request.filterName, "Text File (*.txt)");
    EXPECT_EQ(request.filterPattern, "*.txt");
    EXPECT_EQ(request.defaultExtension, "txt");
    EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_.path() / "saved"));
    EXPECT_TRUE(fs::exists(dir_.path() / "saved" / "out.txt"));
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);

    // The next dialog starts where the last one left off.
    platform_.chooseMenu(ids::kCmdSaveAs);
    ASSERT_EQ(platform_.fileDialogs().size(), 2u);
    EXPECT_TRUE(fs::equivalent(platform_.fileDialogs()[1].startFolder, dir_.path() / "saved"));
}

TEST_F(Export, ARelativeChoiceNamesTheFileTheUserChoseAlthoughTheFolderMoves) {
    fs::create_directory(dir_.path() / "sub");
    exportTo("sub/out.txt");
    EXPECT_TRUE(fs::exists(dir_.path() / "sub" / "out.txt"));
    EXPECT_FALSE(fs::exists(dir_.path() / "sub" / "sub"));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_.path() / "sub"));
}

TEST_F(Export, SectionsOfTheSameNameBothCarryTheFirstText) {
    exportTo(dir_.file("out.txt"), "[T]\r\n<text>\r\nfirst\r\n</text>\r\n[T]\r\n<text>\r\nsecond\r\n</text>\r\n");
    EXPECT_EQ(readFile(dir_.file("out.txt")), "\r\nT:\r\nfirst\r\n\r\nT:\r\nfirst\r\n\r\n");
}

TEST_F(Export, ABracketedMentionInAnEarlierTextIsWhereTheNameLeads) {
    // The name finds its first "[B]", inside A's text, as every lookup does.
    exportTo(dir_.file("out.txt"),
             "[A]\r\n<text>\r\nsee [B] here\r\nmore\r\n</text>\r\n[B]\r\n<text>\r\nreal\r\n</text>\r\n");
    EXPECT_EQ(readFile(dir_.file("out.txt")),
              "\r\nA:\r\nsee [B] here\r\nmore\r\n\r\nB:\r\nmore\r\n</text>\r\n\r\n\r\n");
}

TEST_F(Export, ByteBlocksAreDecodedAndUnreadableSectionsExportNothing) {
    // A byte block that breaks off after one good byte, and an unclosed
    // text block after a readable section: neither exports a half-decoded
    // byte or the text of the section before it.
    exportTo(dir_.file("out.txt"),
             "[Bin]\r\n<bin>48 69 0d 0A 00\r\n</bin>\r\n"
             "[Bad]\r\n<bin>41 4G\r\n</bin>\r\n"
             "[Text]\r\n<text>\r\nkept\r\n</text>\r\n"
             "[Open]\r\n<text>\r\nnever closed\r\n");
    EXPECT_EQ(readFile(dir_.file("out.txt")),
              "\r\nBin:\r\nHi\r\n\0\r\n\r\nBad:\r\n\r\n\r\nText:\r\nkept\r\n\r\nOpen:\r\n\r\n\r\n"s);
}

TEST_F(Export, AnExistingFileIsReplacedWhole) {
    writeFile(dir_.file("out.txt"), std::string(10000, 'x'));
    exportTo(dir_.file("out.txt"), "[S]\r\n<text>\r\ns\r\n</text>\r\n");
    EXPECT_EQ(readFile(dir_.file("out.txt")), "\r\nS:\r\ns\r\n\r\n");
}

TEST_F(Export, PathsLongerThan256CharactersAreWritten) {
    fs::path folder = dir_.path();
    for (int i = 0; i < 6; ++i) folder /= std::string(60, static_cast<char>('a' + i));
    fs::create_directories(folder);
    const std::string target = (folder / "out.txt").string();
    ASSERT_GT(target.size(), 380u);
    exportTo(target, "[S]\r\n<text>\r\ns\r\n</text>\r\n");
    EXPECT_EQ(readFile(target), "\r\nS:\r\ns\r\n\r\n");
    EXPECT_TRUE(platform_.messageBoxes().empty());
}

TEST_F(Export, WithoutADocumentThereIsNoDialog) {
    ASSERT_TRUE(start());
    platform_.chooseMenu(ids::kCmdSaveAs);
    EXPECT_TRUE(platform_.fileDialogs().empty());

    // File > Open cancelled keeps the document, and so Save As.
    writeDocument("doc.vtome");
    ASSERT_TRUE(start({"doc.vtome"}));
    platform_.chooseMenu(ids::kCmdOpen);  // no answer: cancelled
    ASSERT_EQ(platform_.fileDialogs().size(), 1u);
    platform_.chooseMenu(ids::kCmdSaveAs);  // no answer either
    EXPECT_EQ(platform_.fileDialogs().size(), 2u);
}

TEST_F(Export, CancelWritesNothingAndKeepsTheFolder) {
    writeDocument("doc.vtome");
    ASSERT_TRUE(start({"doc.vtome"}));
    platform_.answerSaveDialog(std::nullopt);
    platform_.chooseMenu(ids::kCmdSaveAs);
    EXPECT_EQ(platform_.fileDialogs().size(), 1u);
    EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_.path()));
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir_.path())) files.push_back(entry.path().filename());
    EXPECT_EQ(files, std::vector<fs::path>{"doc.vtome"});
}

TEST_F(Export, AFileThatCannotBeWrittenIsReportedNotIgnored) {
    exportTo(dir_.file("no-such-folder/out.txt"));
    ASSERT_EQ(platform_.messageBoxes().size(), 1u);
    EXPECT_EQ(platform_.messageBoxes()[0].caption, "vTome Exception (25)");
    EXPECT_EQ(platform_.exitCode(), 25);
}

TEST_F(Export, TheToolWritesTheSameFileAsSaveAs) {
    exportTo(dir_.file("viewer.txt"));
    const testing::ProcessResult run =
        testing::runProcess(VTOME_TOOL_PATH, {"export", dir_.file("doc.vtome"), dir_.file("tool.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir_.file("tool.txt")), readFile(dir_.file("viewer.txt")));
}

// --- F1: the manual in a second instance

class OwnHelp : public testing::ViewerTest {
protected:
    // Starts the viewer as if its executable were `executable`.
    bool startAs(const std::string& executable, std::vector<std::string> args = {}) {
        app_ = std::make_unique<shell::Application>(platform_,
                                                    shell::LaunchContext{std::move(args), executable, settingsPath(), dir_.file("data")});
        bool started = false;
        platform_.guard([&] { started = app_->start(); });
        return started;
    }
};

TEST_F(OwnHelp, TheManualBesideTheExecutableWhenTheCurrentFolderHasNone) {
    writeDocument("guide.vtome");
    ASSERT_TRUE(start({"guide.vtome"}));
    press(vk::kF1);
    ASSERT_EQ(platform_.processes().size(), 1u);
    const platform::headless::RecordedProcess& started = platform_.processes()[0];
    EXPECT_EQ(started.program, dir_.file("vtome"));
    EXPECT_EQ(started.arguments, std::vector<std::string>{dir_.path().string() + "/vTome_doc"});
    EXPECT_EQ(started.timeout, std::chrono::milliseconds(65535));
}

TEST_F(OwnHelp, TheManualInTheCurrentFolderGoesByItsRelativeName) {
    writeDocument("vTome_doc.vtome");
    ASSERT_TRUE(startAs("/opt/vtome/bin/vtome"));
    platform_.chooseMenu(ids::kCmdOwnHelp);
    ASSERT_EQ(platform_.processes().size(), 1u);
    EXPECT_EQ(platform_.processes()[0].program, "/opt/vtome/bin/vtome");
    EXPECT_EQ(platform_.processes()[0].arguments, std::vector<std::string>{"vTome_doc"});
}

TEST_F(OwnHelp, AFolderWithBlanksStaysOneArgumentThatTheSecondInstanceOpens) {
    const fs::path folder = dir_.path() / "help viewer" / "my bin";
    fs::create_directories(folder);
    writeFile((folder / "vTome_doc.vtome").string(), testing::kGuide);
    ASSERT_TRUE(startAs((folder / "vtome").string()));
    press(vk::kF1);
    ASSERT_EQ(platform_.processes().size(), 1u);
    const std::vector<std::string> arguments = platform_.processes()[0].arguments;
    ASSERT_EQ(arguments, std::vector<std::string>{(folder / "vTome_doc").string()});

    // The second instance, started with exactly these arguments, opens the
    // manual without a message.
    platform::headless::HeadlessPlatform secondPlatform;
    shell::Application second(secondPlatform,
                              shell::LaunchContext{arguments, (folder / "vtome").string(), settingsPath(), (folder / "data").string()});
    bool started = false;
    secondPlatform.guard([&] { started = second.start(); });
    ASSERT_TRUE(started);
    EXPECT_TRUE(secondPlatform.messageBoxes().empty());
    EXPECT_EQ(second.viewer().document().documentFileName, "vTome_doc.vtome");
    EXPECT_EQ(secondPlatform.topicView()->text(), "\r\nGuide to the tool.");
}

TEST_F(OwnHelp, AHelpThatCannotStartIsNotReportedAndTheViewerGoesOn) {
    writeDocument("guide.vtome");
    ASSERT_TRUE(start({"guide.vtome"}));
    platform_.setProcessStarts(false);
    press(vk::kF1);
    EXPECT_EQ(platform_.processes().size(), 1u);
    EXPECT_TRUE(platform_.messageBoxes().empty());
    EXPECT_FALSE(platform_.quitCode().has_value());
    press(vk::kNext);
    EXPECT_EQ(currentTitle(), "Introduction");
}

TEST_F(OwnHelp, WorksWithoutAnOpenDocument) {
    ASSERT_TRUE(start());
    press(vk::kF1);
    EXPECT_EQ(platform_.processes().size(), 1u);
}

// --- Help > Keyboard Shortcuts

class Shortcuts : public testing::ViewerTest {
protected:
    void SetUp() override {
        writeDocument("guide.vtome");
        ASSERT_TRUE(start({"guide.vtome"}));
    }
};

TEST_F(Shortcuts, TheKeyListByteForByte) {
    const std::pair<const char*, const char*> keys[] = {
        {"Home", "jump to 1st topic"},
        {"End", "jump to last topic"},
        {"Backspace", "jump to previous topic"},
        {"Page Up", "jump to previous topic in tree"},
        {"Page Down", "jump to next topic in tree"},
        {"Insert", "activate search edit box"},
        {"Enter", "search next"},
        {"Left Arrow", "page up in current topic"},
        {"Right Arrow", "page down in current topic"},
        {"Down Arrow", "1 line down in current topic"},
        {"Up Arrow", "1 line up in current topic"},
        {"Space", "open notes window"},
        {"B", "bookmark current topic"},
    };
    std::string expected = "Keyboard Shortcuts\n\n";
    for (const auto& [key, description] : keys) {
        std::string line = "  " + std::string(key);
        line.resize(18, ' ');
        expected += line + description + "\n";
    }
    ASSERT_EQ(expected.size(), 558u);

    platform_.chooseMenu(ids::kCmdShortcuts);
    EXPECT_EQ(view().text(), "\r\n" + expected);
    EXPECT_EQ(view().selection(), (platform::TextRange{0, 0}));

    // Every key line has its description from the 19th character on.
    const std::string text = view().text().substr(2);
    std::size_t lineStart = text.find('\n', text.find('\n') + 1) + 1;
    for (const auto& [key, description] : keys) {
        EXPECT_EQ(text.substr(lineStart, 2 + std::string_view(key).size()), "  " + std::string(key));
        EXPECT_EQ(text[lineStart + 17], ' ') << key;
        EXPECT_EQ(text.substr(lineStart + 18, std::string_view(description).size()), description) << key;
        lineStart = text.find('\n', lineStart) + 1;
    }
    EXPECT_EQ(lineStart, text.size());
}

TEST_F(Shortcuts, TopicTreeAndHistoryStayAndNextMovesOnFromTheTopicShownBefore) {
    app_->viewer().selectTopic(topic("Installing"));
    const platform::TreeItem selected = tree().selectedItem();
    const Titles history = historyTitles();

    platform_.chooseMenu(ids::kCmdShortcuts);
    EXPECT_EQ(currentTitle(), "Installing");
    EXPECT_EQ(tree().selectedItem(), selected);
    EXPECT_EQ(historyTitles(), history);
    EXPECT_EQ(bar().text(ids::kNavTitle), "Installing");

    press(vk::kNext);
    EXPECT_EQ(currentTitle(), "Usage");
    EXPECT_EQ(view().text(), "\r\nUse it.");

    platform_.chooseMenu(ids::kCmdShortcuts);
    press(vk::kPrior);
    EXPECT_EQ(currentTitle(), "Installing");
}

TEST_F(Shortcuts, TheListIsShownWithoutADocumentToo) {
    ASSERT_TRUE(start());
    platform_.chooseMenu(ids::kCmdShortcuts);
    EXPECT_EQ(view().text().substr(0, 21), "\r\nKeyboard Shortcuts\n");
    EXPECT_EQ(current(), nullptr);
}

// --- Help > About

class About : public testing::ViewerTest {
protected:
    void SetUp() override { ASSERT_TRUE(start()); }
};

TEST_F(About, ShowsTheVersionAndThreeLinesWithNothingSelected) {
    bool checked = false;
    platform_.scriptModalDialog([&](HeadlessDialog& dialog) {
        EXPECT_EQ(dialog.layout().caption, "About vTome");
        const std::string text = dialog.text(ids::kAboutText);
        EXPECT_EQ(text.substr(0, 12), "vTome 0.92\r\n");
        std::size_t lineBreaks = 0;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lineBreaks;
        EXPECT_EQ(lineBreaks, 3u);
        EXPECT_NE(text.back(), '\n');
        EXPECT_EQ(text.find('\n'), text.find('\r') + 1);  // CR LF, no lone line feeds
        const platform::EditSelection selection = dialog.selection(ids::kAboutText);
        EXPECT_EQ(selection.start, selection.end);
        EXPECT_EQ(platform_.focus(), FocusTarget::Dialog);
        EXPECT_FALSE(dialog.focusedControl().has_value());  // the dialog itself, no control
        checked = true;
        dialog.click(platform::kIdOk);
        EXPECT_FALSE(dialog.isOpen());
    });
    platform_.chooseMenu(ids::kCmdAbout);
    EXPECT_TRUE(checked);
    EXPECT_EQ(platform_.modalDialogs(), std::vector<std::uint32_t>{ids::kDialogAbout});
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
}

TEST_F(About, EnterClosesEscapeDoesNotAndTheCloseBoxDoes) {
    platform_.scriptModalDialog([](HeadlessDialog& dialog) {
        dialog.pressEnter();
        EXPECT_FALSE(dialog.isOpen());
    });
    platform_.chooseMenu(ids::kCmdAbout);

    platform_.scriptModalDialog([](HeadlessDialog& dialog) {
        dialog.pressEscape();
        EXPECT_TRUE(dialog.isOpen());
        dialog.command(platform::kIdOk, platform::notify::kListDoubleClick);  // not a click
        EXPECT_TRUE(dialog.isOpen());
        dialog.clickCloseBox();
        EXPECT_FALSE(dialog.isOpen());
    });
    platform_.chooseMenu(ids::kCmdAbout);
    EXPECT_EQ(platform_.modalDialogs().size(), 2u);
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
    EXPECT_FALSE(platform_.quitCode().has_value());  // Escape did not reach the main window
}

}  // namespace
}  // namespace vtome
