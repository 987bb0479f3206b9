#pragma once
// The Notes dialog: one free-text note per topic, written to the user-data
// file at once on Save and Delete.

#include <cstdint>
#include <functional>
#include <optional>
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

// The first "[name]" in the note that the user-data file would take for a
// section of its own: the bookmarks, any note, or another section the file
// holds. Lookups find a section at the first "[name]" anywhere, so such a
// note would cut itself or another note short.
std::optional<std::string> sectionMention(std::string_view note, KeyedStore& userData);

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
    // Commits an edit of the user data; false (reported, nothing changed)
    // when it could be written nowhere.
    bool write(platform::DialogView& view, const std::function<void(KeyedStore&)>& edit);

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
