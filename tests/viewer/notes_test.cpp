// Notes: the Notes dialog opened with Space, the Note button or the note
// indicator; Save and Delete write the .vinfo file at once, anything else
// writes nothing.

#include "annotations/notes_dialog.h"
#include "viewer_fixture.h"

namespace vtome {
namespace {

namespace vk = platform::vk;
using Range = std::pair<std::uint32_t, std::uint32_t>;
using platform::headless::FocusTarget;
using platform::headless::HeadlessDialog;
using testing::readFile;
using testing::writeFile;

Range range(platform::EditSelection s) { return {s.start, s.end}; }

class NoteTest : public testing::ViewerTest {
protected:
    // Each test starts the viewer once: the navigation bar of a second start
    // would not be the one bar() finds.
    void open(const std::string& bytes = testing::kGuide) {
        writeDocument("guide.vtome", bytes);
        ASSERT_TRUE(start({"guide.vtome", "Introduction"}));
    }
    std::string vinfo() const { return dir_.file("guide.vinfo"); }
    std::string stored() const {
        return std::filesystem::exists(vinfo()) ? readFile(vinfo()) : std::string("(no file)");
    }
    void show(std::string_view title) { app_->viewer().selectTopic(topic(title)); }
    // Space with the user's part in the dialog.
    void notes(std::function<void(HeadlessDialog&)> script) {
        platform_.scriptModalDialog(std::move(script));
        press(vk::kSpace);
    }
    void saveNote(const std::string& text) {
        notes([&](HeadlessDialog& d) {
            d.type(ids::kNotesEdit, text);
            d.click(ids::kNotesSave);
        });
    }
    // What the dialog shows for the current topic, and whether Save and
    // Delete start enabled.
    std::pair<std::string, bool> reopen() {
        std::pair<std::string, bool> seen;
        notes([&](HeadlessDialog& d) {
            seen = {d.text(ids::kNotesEdit), d.isEnabled(ids::kNotesSave) && d.isEnabled(ids::kNotesDelete)};
            d.pressEscape();
        });
        return seen;
    }
    bool indicator() { return bar().isVisible(ids::kNavNoteIndicator); }
};

// --- the file

TEST_F(NoteTest, EmptyNoteStillExists) {
    open();
    notes([](HeadlessDialog& d) {
        d.type(ids::kNotesEdit, "x");
        d.type(ids::kNotesEdit, "");
        d.click(ids::kNotesSave);
    });
    EXPECT_EQ(stored(), "\r\n[Intro_vTomeNote]\r\n<text>\r\n\r\n</text>\r\n\r\n");
    EXPECT_TRUE(indicator());
    EXPECT_EQ(reopen(), std::make_pair(std::string(), true));
}

TEST_F(NoteTest, MultiLineNoteReadsBackUnchanged) {
    open();
    const std::string note = "\r\nFirst line.\r\n\r\n  indented\tand tabbed\r\n[not a section]\r\n<text>\r\n";
    saveNote(note);
    EXPECT_EQ(stored(), "\r\n[Intro_vTomeNote]\r\n<text>\r\n" + note + "\r\n</text>\r\n\r\n");
    EXPECT_EQ(reopen(), std::make_pair(note, true));
    // A new start reads the same from the file.
    open();
    EXPECT_EQ(reopen().first, note);
}

TEST_F(NoteTest, SavingAgainReplacesTheNoteInPlace) {
    open();
    saveNote("one");
    show("Last");
    saveNote("last");
    show("Introduction");
    saveNote("two\r\nlines");
    EXPECT_EQ(stored(),
              "\r\n[Intro_vTomeNote]\r\n<text>\r\ntwo\r\nlines\r\n</text>\r\n\r\n"
              "\r\n[Last_vTomeNote]\r\n<text>\r\nlast\r\n</text>\r\n\r\n");
}

TEST_F(NoteTest, ANoteTheFileCouldNotReadBackWholeIsNotSaved) {
    open();
    const struct {
        std::string note;
        std::string named;  // what the message names
    } refused[] = {
        {"kept\r\n</TEXT> is where it ends\r\nlost", "</text>"},
        {"see [vTome Bookmarks] below", "[vTome Bookmarks]"},
        {"copied: [Usage_vTomeNote]", "[Usage_vTomeNote]"},
    };
    for (const auto& c : refused) {
        bool stayedOpen = false;
        notes([&](HeadlessDialog& d) {
            d.type(ids::kNotesEdit, c.note);
            d.click(ids::kNotesSave);
            stayedOpen = d.isOpen() && d.text(ids::kNotesEdit) == c.note;
        });
        EXPECT_TRUE(stayedOpen) << c.note;
        ASSERT_FALSE(platform_.messageBoxes().empty());
        EXPECT_EQ(platform_.messageBoxes().back().caption, "Notes");
        EXPECT_NE(platform_.messageBoxes().back().text.find(c.named), std::string::npos)
            << platform_.messageBoxes().back().text;
        EXPECT_EQ(stored(), "(no file)") << c.note;
    }
    // A section the file holds already is another section's start too.
    writeFile(vinfo(), "[Mine]\r\nx=1\r\n");
    open();
    saveNote("about [Mine]");
    EXPECT_EQ(stored(), "[Mine]\r\nx=1\r\n");

    const std::size_t boxes = platform_.messageBoxes().size();
    saveNote("  </text> indented is no marker, [brackets] are fine");
    EXPECT_EQ(platform_.messageBoxes().size(), boxes);
    EXPECT_EQ(reopen().first, "  </text> indented is no marker, [brackets] are fine");
}

TEST_F(NoteTest, TopicsWhoseNamesDifferOnlyInCaseHaveSeparateNotes) {
    open("[vTome Header]\r\nx\r\n\r\n[vTome Contents]\r\nAlpha=Lower\r\nALPHA=Upper\r\n\r\n"
         "[Alpha]\r\na\r\n\r\n[ALPHA]\r\nA\r\n");
    show("Lower");
    saveNote("lower");
    show("Upper");
    EXPECT_FALSE(indicator());
    saveNote("upper");
    EXPECT_EQ(stored(),
              "\r\n[Alpha_vTomeNote]\r\n<text>\r\nlower\r\n</text>\r\n\r\n"
              "\r\n[ALPHA_vTomeNote]\r\n<text>\r\nupper\r\n</text>\r\n\r\n");
    show("Lower");
    EXPECT_EQ(reopen().first, "lower");
}

TEST_F(NoteTest, NoteOfAnyLengthIsWrittenAndReadWhole) {
    open();
    std::string note;
    while (note.size() < 200000) note += "A long note line " + std::to_string(note.size()) + "\r\n";
    note += "the end";
    saveNote(note);
    EXPECT_EQ(stored().size(), note.size() + 42);
    EXPECT_EQ(reopen().first, note);
}

TEST_F(NoteTest, ByteZeroIsNotWritten) {
    open();
    saveNote(std::string("a\0b", 3));
    show("Last");
    saveNote("after");
    EXPECT_EQ(stored(),
              "\r\n[Intro_vTomeNote]\r\n<text>\r\nab\r\n</text>\r\n\r\n"
              "\r\n[Last_vTomeNote]\r\n<text>\r\nafter\r\n</text>\r\n\r\n");
}

TEST_F(NoteTest, DeleteRemovesTheSectionAndTheIndicator) {
    writeFile(vinfo(), "[Intro_vTomeNote]\r\n<text>\r\nold\r\n</text>\r\n\r\n[Other]\r\nk=v\r\n");
    open();
    EXPECT_TRUE(indicator());
    notes([](HeadlessDialog& d) { d.click(ids::kNotesDelete); });
    EXPECT_EQ(stored(), "[Other]\r\nk=v\r\n");
    EXPECT_FALSE(indicator());
    EXPECT_EQ(reopen(), std::make_pair(std::string(), false));

    // Delete on a topic without a note writes the file as it is.
    std::filesystem::remove(vinfo());
    notes([](HeadlessDialog& d) {
        d.type(ids::kNotesEdit, "typed");
        d.click(ids::kNotesDelete);
    });
    EXPECT_EQ(stored(), "[Other]\r\nk=v\r\n");
}

TEST_F(NoteTest, EveryOtherWayOfClosingWritesNothing) {
    open();
    notes([](HeadlessDialog& d) {
        d.type(ids::kNotesEdit, "a");
        d.click(platform::kIdCancel);
    });
    notes([](HeadlessDialog& d) {
        d.type(ids::kNotesEdit, "b");
        d.pressEscape();
    });
    notes([](HeadlessDialog& d) {
        d.type(ids::kNotesEdit, "c");
        d.command(platform::kIdOk, platform::notify::kButtonClicked);
        EXPECT_FALSE(d.isOpen());
    });
    notes([](HeadlessDialog& d) { d.type(ids::kNotesEdit, "d"); });  // the close box
    EXPECT_EQ(platform_.modalDialogs().size(), 4u);
    EXPECT_EQ(stored(), "(no file)");
    EXPECT_FALSE(indicator());
}

TEST_F(NoteTest, ASaveThatFailsEverywhereKeepsTheDialogOpenWithTheText) {
    open();
    std::filesystem::create_directory(vinfo());
    writeFile(dataFolder(), "a file where the data folder should be");
    bool stayedOpen = false;
    notes([&](HeadlessDialog& d) {
        d.type(ids::kNotesEdit, "typed\r\nby hand");
        d.click(ids::kNotesSave);
        stayedOpen = d.isOpen() && d.text(ids::kNotesEdit) == "typed\r\nby hand";
        // Room again: the same dialog saves.
        std::filesystem::remove(dataFolder());
        d.click(ids::kNotesSave);
    });
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(platform_.messageBoxes().size(), 1u);
    EXPECT_EQ(platform_.messageBoxes()[0].caption, "vTome");
    EXPECT_NE(platform_.messageBoxes()[0].detail.find(": Not a directory"), std::string::npos);
    EXPECT_FALSE(platform_.exitCode());
    EXPECT_TRUE(std::filesystem::is_directory(vinfo()));
    EXPECT_TRUE(indicator());
    EXPECT_EQ(reopen().first, "typed\r\nby hand");
}

TEST_F(NoteTest, ACancelledNoteAfterAFailedSaveIsNotWrittenLater) {
    open();
    std::filesystem::create_directory(vinfo());
    writeFile(dataFolder(), "blocked");
    saveNote("not to be kept");  // fails; then the dialog is closed unsaved
    std::filesystem::remove(dataFolder());
    show("Last");
    saveNote("kept");
    for (const auto& e : std::filesystem::directory_iterator(dataFolder())) {
        EXPECT_EQ(readFile(e.path().string()).find("not to be kept"), std::string::npos);
    }
}

// --- the dialog

TEST_F(NoteTest, TypingEnablesSaveAndDelete) {
    open();
    notes([](HeadlessDialog& d) {
        EXPECT_EQ(d.text(ids::kNotesEdit), "");
        EXPECT_FALSE(d.isEnabled(ids::kNotesSave));
        EXPECT_FALSE(d.isEnabled(ids::kNotesDelete));
        EXPECT_TRUE(d.isEnabled(platform::kIdCancel));
        EXPECT_EQ(d.focusedControl(), ids::kNotesEdit);
        d.type(ids::kNotesEdit, "x");
        EXPECT_TRUE(d.isEnabled(ids::kNotesSave));
        EXPECT_TRUE(d.isEnabled(ids::kNotesDelete));
        d.pressEscape();
    });
}

TEST_F(NoteTest, CopyTakesTheSelectionOrTheWholeNote) {
    open();
    notes([this](HeadlessDialog& d) {
        d.type(ids::kNotesEdit, "alpha beta");
        d.select(ids::kNotesEdit, 6, 10);
        d.click(ids::kNotesCopy);
        EXPECT_EQ(platform_.clipboard(), "beta");
        EXPECT_EQ(range(d.selection(ids::kNotesEdit)), (Range{6, 10}));
        d.select(ids::kNotesEdit, 3, 3);
        d.click(ids::kNotesCopy);
        EXPECT_EQ(platform_.clipboard(), "alpha beta");
        EXPECT_EQ(range(d.selection(ids::kNotesEdit)), (Range{0, 10}));  // left selected
        d.pressEscape();
    });
}

TEST_F(NoteTest, PasteReplacesTheSelectionAndEnablesSaveAndDelete) {
    open();
    platform_.setClipboard("pasted");
    notes([](HeadlessDialog& d) {
        d.click(ids::kNotesPaste);
        EXPECT_EQ(d.text(ids::kNotesEdit), "pasted");
        EXPECT_TRUE(d.isEnabled(ids::kNotesSave));
        EXPECT_TRUE(d.isEnabled(ids::kNotesDelete));
        d.select(ids::kNotesEdit, 0, 3);
        d.click(ids::kNotesPaste);
        EXPECT_EQ(d.text(ids::kNotesEdit), "pastedted");
        d.click(ids::kNotesSave);
    });
    EXPECT_EQ(stored(), "\r\n[Intro_vTomeNote]\r\n<text>\r\npastedted\r\n</text>\r\n\r\n");
}

TEST_F(NoteTest, DialogWorksFromTheKeyboardAlone) {
    open();
    notes([](HeadlessDialog& d) {
        d.pressEnter();  // in the note: a line break, not OK
        d.type(ids::kNotesEdit, d.text(ids::kNotesEdit) + "typed");
        EXPECT_TRUE(d.isOpen());
        d.pressTab();  // Tab leaves the note, in template order
        EXPECT_EQ(d.focusedControl(), ids::kNotesDelete);
        d.pressTab();
        EXPECT_EQ(d.focusedControl(), platform::kIdCancel);
        d.pressTab();
        EXPECT_EQ(d.focusedControl(), ids::kNotesCopy);
        d.pressFocusedButton();
        d.pressTab();
        EXPECT_EQ(d.focusedControl(), ids::kNotesPaste);
        d.pressTab();
        EXPECT_EQ(d.focusedControl(), ids::kNotesSave);
        d.pressTab();
        EXPECT_EQ(d.focusedControl(), ids::kNotesEdit);
        d.pressTab(true);
        EXPECT_EQ(d.focusedControl(), ids::kNotesSave);
        d.pressFocusedButton();
        EXPECT_FALSE(d.isOpen());
    });
    EXPECT_EQ(platform_.clipboard(), "\r\ntyped");
    EXPECT_EQ(stored(), "\r\n[Intro_vTomeNote]\r\n<text>\r\n\r\ntyped\r\n</text>\r\n\r\n");
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);

    // Without a note, Tab from the note skips the disabled Delete.
    show("Last");
    notes([](HeadlessDialog& d) {
        d.pressTab();
        EXPECT_EQ(d.focusedControl(), platform::kIdCancel);
        d.pressFocusedButton();
        EXPECT_FALSE(d.isOpen());
    });
}

// --- opening, and the note indicator

TEST_F(NoteTest, NoteButtonAndIndicatorOpenTheDialogAndGiveTheFocusBack) {
    open();
    saveNote("x");
    platform_.scriptModalDialog([](HeadlessDialog& d) { d.pressEscape(); });
    bar().click(ids::kNavNote);
    platform_.scriptModalDialog([](HeadlessDialog& d) { d.pressEscape(); });
    bar().click(ids::kNavNoteIndicator);
    EXPECT_EQ(platform_.modalDialogs(),
              (std::vector<std::uint32_t>{ids::kDialogNotes, ids::kDialogNotes, ids::kDialogNotes}));
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
}

TEST_F(NoteTest, IndicatorFollowsTheCurrentTopic) {
    open();
    saveNote("note");
    EXPECT_TRUE(indicator());
    press(vk::kNext);
    EXPECT_FALSE(indicator());
    press(vk::kBack);
    EXPECT_TRUE(indicator());
    show("Usage");
    EXPECT_FALSE(indicator());
}

TEST_F(NoteTest, WithoutACurrentTopicNothingOpens) {
    open();
    saveNote("note");
    show("No Section");
    press(vk::kSpace);
    EXPECT_TRUE(indicator());  // keeps its last state
    EXPECT_FALSE(bar().isEnabled(ids::kNavNote));

    EXPECT_EQ(platform_.modalDialogs().size(), 1u);  // only the first Save's dialog
}

TEST(NoteTextBlock, CloseMarkerLinesAreFound) {
    EXPECT_EQ(noteTextBlock("a\r\nb"), "<text>\r\na\r\nb\r\n</text>\r\n");
    EXPECT_TRUE(noteEndsEarly("</text>"));
    EXPECT_TRUE(noteEndsEarly("a\n</Text>b"));
    EXPECT_TRUE(noteEndsEarly("a\r</text>"));
    EXPECT_FALSE(noteEndsEarly("a </text>"));
    EXPECT_FALSE(noteEndsEarly("<text>\r\n</text"));
}

}  // namespace
}  // namespace vtome
