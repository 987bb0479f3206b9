#include "annotations/notes_dialog.h"

#include <algorithm>

#include "annotations/notes.h"
#include "resources/messages.h"
#include "resources/dialog_template.h"
#include "resources/ids.h"
#include "store/text_buffer.h"
#include "runtime/text_scan.h"

namespace vtome {

namespace {

constexpr std::string_view kTextOpen = "<text>\r\n";
constexpr std::string_view kTextClose = "\r\n</text>\r\n";
constexpr std::string_view kCloseMarker = "</text>";
// An end past the text selects up to its end.
constexpr std::uint32_t kTextEnd = 0xFFFFFFFFu;

constexpr std::string_view kEarlyEndWarning =
    "A line of this note begins with </text>, which ends a note in the user-data file. The whole note "
    "was saved, but it will be read back only up to that line; the lines from there on are lost when "
    "the note is saved again.";

}  // namespace

std::string noteTextBlock(std::string_view note) {
    std::string block;
    block.reserve(kTextOpen.size() + note.size() + kTextClose.size());
    block.append(kTextOpen).append(note).append(kTextClose);
    return block;
}

bool noteEndsEarly(std::string_view note) {
    for (std::uint32_t pos = 0; pos < note.size(); pos = scan::nextLineStart(note, pos)) {
        if (scan::startsWithIgnoreCase(note, pos, kCloseMarker)) return true;
    }
    return false;
}

void NotesDialog::onInit(platform::DialogView& view) {
    KeyedStore& store = *userData_.store;
    const std::string section = noteSectionName(topic_.name);
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

    TextBuffer block(static_cast<std::uint32_t>(note.size() + kTextOpen.size() + kTextClose.size()));
    block.insertString(noteTextBlock(note));
    userData_.store->setSectionFromBuffer(noteSectionName(topic_.name), block);
    userData_.save();
    viewer_.refreshTopicControls();
    // Nothing can be escaped in the file: say what the next reading will do.
    if (noteEndsEarly(note)) {
        platform_.showMessageBox("Notes", kEarlyEndWarning, platform::MessageBoxIcon::Exclamation, false);
    }
    view.close(static_cast<int>(ids::kNotesSave));
}

void NotesDialog::remove(platform::DialogView& view) {
    userData_.store->deleteSection(noteSectionName(topic_.name));
    userData_.save();
    viewer_.refreshTopicControls();
    view.close(static_cast<int>(ids::kNotesDelete));
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
