#pragma once
// The per-document user-data file: bookmarks and notes beside the document,
// under the document's path with its extension replaced by ".vinfo".
//
// Where that file cannot be read or written (a read-only folder, a mounted
// share, a file of someone else's), the user data lives in vTome's data
// folder instead ($XDG_DATA_HOME/vtome, by default ~/.local/share/vtome),
// under a name made of the document's file name and a hash of its absolute
// path. Nothing a user typed is lost for want of a writable folder.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/counted_string.h"
#include "runtime/failure.h"
#include "store/keyed_store.h"

namespace vtome {

// Cuts the path at the last "." found searching back to its second
// character (even inside a folder name) and appends ".vinfo". The result
// must fit in `dest`.
void userDataPathFor(std::string_view documentPath, CountedString& dest);

// The file in the data folder that keeps a document's user data when its
// own folder cannot: "<user-data file name without .vinfo>-<12 hex digits
// of a hash of the document's absolute path>.vinfo".
std::string fallbackUserDataPath(std::string_view documentPath, const std::string& dataFolder);

// The folder of vTome's own data: $XDG_DATA_HOME/vtome, or ~/.local/share/vtome.
std::string defaultDataFolder();

// The open document's user data: its store and where it is written. Every
// change goes through commit(), which writes it at once.
class UserDataFile {
public:
    // Told the first time the data of a document moves to the data folder.
    void setMovedListener(std::function<void(const std::string& path)> listener) { moved_ = std::move(listener); }

    bool isOpen() const { return store_ != nullptr; }
    KeyedStore* store() const { return store_.get(); }
    // Where the data is read from and written to now.
    const std::string& path() const { return path_; }

    // Reads the document's user data: the file beside the document when it
    // exists (but the data folder's copy when that one is newer because the
    // file beside cannot be written), else the data folder's, else nothing
    // yet, and no file is created. A file beside the document that exists but
    // cannot be read is never written over: the data goes to the data folder,
    // and the failure is returned for the caller to report.
    std::optional<RuntimeFailure> open(std::string_view documentPath, const std::string& dataFolder);
    // Forgets the closed document's data without writing anything.
    void close();

    // Applies `edit` to a copy of the data and writes the copy; only once it
    // is on disk does it become the data in memory. A file that cannot be
    // written for want of permission moves to the data folder. When it can
    // be written nowhere, the failure is thrown and the data in memory is as
    // it was.
    void commit(const std::function<void(KeyedStore&)>& edit);

private:
    void writeTo(const std::string& path, const KeyedStore& store);

    std::unique_ptr<KeyedStore> store_;  // none while no document is open
    std::string path_;
    std::string fallbackPath_;
    bool usingFallback_ = false;
    std::function<void(const std::string&)> moved_;
};

}  // namespace vtome
