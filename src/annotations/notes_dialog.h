#pragma once
// The Notes dialog: one free-text note per topic, written to the user-data
// file at once on Save and Delete.

#include "annotations/user_data.h"
#include "document/document_viewer.h"
#include "platform/platform.h"

namespace vtome {

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
