#pragma once
// Watching the open document on disk, so that a document rewritten by its
// author shows its new text without being opened again.

#include <string>

namespace vtome::platform {

class FileWatchEvents {
public:
    virtual ~FileWatchEvents() = default;
    // The watched file, or its folder, changed and has stayed unchanged for
    // a short moment since (an editor that writes in several steps is told
    // once). Never told while a modal window (a dialog, a message box) or an
    // open menu is up: the news waits until it is gone. Whether the file
    // really differs, or still exists, is for the listener to find out.
    virtual void onWatchedFileChanged() = 0;
};

class FileWatcher {
public:
    virtual ~FileWatcher() = default;
    // Watches this file from now on, in place of the one before; an empty
    // path watches nothing. The file's folder is watched as well: editors
    // often save by writing a new file and renaming it over the old one.
    virtual void watch(const std::string& path) = 0;
    virtual std::string watchedPath() const = 0;
};

}  // namespace vtome::platform
