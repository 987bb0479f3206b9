#pragma once
// The Notes dialog: one free-text note per topic, written to the user-data
// file at once on Save and Delete.

#include <cstdint>
#include <string>
#include <string_view>

#include "annotations/user_data.h"
#include "viewer/document_viewer.h"
#include "platform/dialog.h"
#include "platform/platform.h"

namespace vtome {

// The section body that stores a note: the note as a text block.
std::string noteTextBlock(std::string_view note);

// True when a line of the note begins with the text block's closing marker
// (ASCII case ignored): the note reads back only up to that line.
bool noteEndsEarly(std::string_view note);

// The logic of one open Notes dialog, for the topic that was current when it
// opened. Closing it any way but Save or Delete writes nothing.
class NotesDialog : public platform::DialogEvents {
public:
    NotesDialog(const TopicEntry& topic, UserDataFile& userData, DocumentViewer& viewer,
                platform::Platform& platform)
        : topic_(topic), userData_(userData), viewer_(viewer), platform_(platform) {}

    void onInit(platform::DialogView& view) override;
    void onCommand(platform::DialogView& view, std::uint32_t control, std::uint32_t notification) override;

private:
    void save(platform::DialogView& view);
    void remove(platform::DialogView& view);
    void copy(platform::DialogView& view);
    // Save and Delete are enabled and disabled together.
    void enableWrites(platform::DialogView& view);

    const TopicEntry& topic_;
    UserDataFile& userData_;
    DocumentViewer& viewer_;
    platform::Platform& platform_;
};

class NotesController {
public:
    NotesController(DocumentViewer& viewer, UserDataFile& userData, platform::Platform& platform)
        : viewer_(viewer), userData_(userData), platform_(platform) {}

    // Space, the Note button and the note indicator: the note of the current topic.
    void openNotes();

private:
    DocumentViewer& viewer_;
    UserDataFile& userData_;
    platform::Platform& platform_;
};

}  // namespace vtome
