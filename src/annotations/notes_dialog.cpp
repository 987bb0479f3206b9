#include "annotations/notes_dialog.h"

#include <algorithm>

#include "annotations/bookmarks.h"
#include "annotations/notes.h"
#include "platform/failure_report.h"
#include "resources/messages.h"
#include "resources/dialog_template.h"
#include "resources/ids.h"
#include "store/text_buffer.h"
#include "runtime/text_scan.h"

namespace vtome {

namespace {

constexpr std::string_view kNoteBlockOpening = "<text>\r\n";
constexpr std::string_view kNoteBlockClosing = "\r\n</text>\r\n";
// An end past the text selects up to its end.
constexpr std::uint32_t kTextEnd = 0xFFFFFFFFu;

constexpr std::string_view kEndsEarly =
    "A line of this note begins with </text>, which ends a note in the user-data file: the lines after it "
    "would be lost. Begin that line with a blank, and save again.";
constexpr std::string_view kNoteSuffix = "_vTomeNote";

}  // namespace

std::string noteTextBlock(std::string_view note) {
    std::string block;
    block.reserve(kNoteBlockOpening.size() + note.size() + kNoteBlockClosing.size());
    block.append(kNoteBlockOpening).append(note).append(kNoteBlockClosing);
    return block;
}

std::optional<std::string> sectionMention(std::string_view note, KeyedStore& userData) {
    for (std::size_t open = note.find('['); open != std::string_view::npos; open = note.find('[', open + 1)) {
        const std::size_t close = note.find(']', open + 1);
        if (close == std::string_view::npos) break;
        const std::string_view name = note.substr(open + 1, close - open - 1);
        const bool ours = name == kBookmarksSection ||
                          (name.size() >= kNoteSuffix.size() && name.substr(name.size() - kNoteSuffix.size()) == kNoteSuffix);
        if (ours || userData.hasSection(name)) return std::string(note.substr(open, close - open + 1));
    }
    return std::nullopt;
}

bool noteEndsEarly(std::string_view note) {
    for (std::uint32_t pos = 0; pos < note.size(); pos = scan::nextLineStart(note, pos)) {
        if (scan::startsWithIgnoreCase(note, pos, kTextClose)) return true;
    }
    return false;
}

void NotesDialog::onInit(platform::DialogView& view) {
    KeyedStore& store = *userData_.store();
    const std::string section = noteSectionName(topic_.name());
    if (store.hasSection(section)) {
        TextBuffer note;
        store.getSectionToBuffer(section, note);
        view.setText(ids::kNotesEdit, note.view());
        enableWrites(view);
    }
    view.focus(ids::kNotesEdit);
}

void NotesDialog::onCommand(platform::DialogView& view, std::uint32_t control, std::uint32_t notification) {
    if (control == ids::kNotesEdit) {
        if (notification == platform::notify::kEditChange) enableWrites(view);
        return;
    }
    if (notification != platform::notify::kButtonClicked) return;
    switch (control) {
        case ids::kNotesSave: save(view); break;
        case ids::kNotesDelete: remove(view); break;
        case ids::kNotesCopy: copy(view); break;
        case ids::kNotesPaste:
            view.paste(ids::kNotesEdit);
            enableWrites(view);
            break;
        // Cancel, Escape and Enter outside the edit: changes are dropped.
        case platform::kIdCancel:
        case platform::kIdOk: view.close(static_cast<int>(control)); break;
        default: break;
    }
}

void NotesDialog::save(platform::DialogView& view) {
    std::string note = view.text(ids::kNotesEdit);
    // A byte 0 would end the user-data file for every later lookup, hiding
    // the sections after it: it is no text a note can keep.
    note.erase(std::remove(note.begin(), note.end(), '\0'), note.end());

    // Nothing can be escaped in the file: a note it could not read back
    // whole is not saved, and the dialog stays open with the text.
    if (noteEndsEarly(note)) {
        platform_.showMessageBox("Notes", kEndsEarly, platform::MessageBoxIcon::Exclamation, false, {});
        return;
    }
    if (const std::optional<std::string> mention = sectionMention(note, *userData_.store())) {
        const std::string why = "This note holds " + *mention +
                                ", which the user-data file would read as the start of its own section, cutting "
                                "this note or another one short. Change or leave out the brackets, and save again.";
        platform_.showMessageBox("Notes", why, platform::MessageBoxIcon::Exclamation, false, {});
        return;
    }
    if (write(view, [&](KeyedStore& store) {
            TextBuffer block(static_cast<std::uint32_t>(note.size() + kNoteBlockOpening.size() + kNoteBlockClosing.size()));
            block.insertString(noteTextBlock(note));
            store.setSectionFromBuffer(noteSectionName(topic_.name()), block);
        })) {
        view.close(static_cast<int>(ids::kNotesSave));
    }
}

void NotesDialog::remove(platform::DialogView& view) {
    if (write(view, [&](KeyedStore& store) { store.deleteSection(noteSectionName(topic_.name())); })) {
        view.close(static_cast<int>(ids::kNotesDelete));
    }
}

bool NotesDialog::write(platform::DialogView&, const std::function<void(KeyedStore&)>& edit) {
    try {
        userData_.commit(edit);
    } catch (const RuntimeFailure& failure) {
        if (!failure.isAboutFile()) throw;
        // Written nowhere: the dialog stays open with what the user typed.
        platform::reportFileFailure(platform_, failure);
        return false;
    }
    viewer_.refreshTopicControls();
    return true;
}

void NotesDialog::copy(platform::DialogView& view) {
    const platform::EditSelection selection = view.selection(ids::kNotesEdit);
    // Nothing selected: the whole note, left selected.
    if (selection.start == selection.end) view.select(ids::kNotesEdit, 0, kTextEnd);
    view.copySelection(ids::kNotesEdit);
}

void NotesDialog::enableWrites(platform::DialogView& view) {
    view.setEnabled(ids::kNotesSave, true);
    view.setEnabled(ids::kNotesDelete, true);
}

void NotesController::openNotes() {
    const TopicEntry* topic = viewer_.document().currentTopic;
    if (topic == nullptr || !userData_.isOpen()) return;
    NotesDialog dialog(*topic, userData_, viewer_, platform_);
    platform_.runModalDialog(resources::notesDialog(), dialog);
}

}  // namespace vtome
