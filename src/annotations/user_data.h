#pragma once
// The per-document user-data file: bookmarks and notes beside the document,
// under the document's path with its extension replaced by ".vinfo".

#include <memory>
#include <string>
#include <string_view>

#include "runtime/counted_string.h"
#include "store/keyed_store.h"

namespace vtome {

// Cuts the path at the last "." found searching back to its second
// character (even inside a folder name) and appends ".vinfo". The result
// must fit in `dest`.
void userDataPathFor(std::string_view documentPath, CountedString& dest);

// The store of the file at path when something exists there; otherwise an
// empty store, and no file is created.
std::unique_ptr<KeyedStore> loadUserData(const std::string& path);

// The open document's user data: its store and where it is written. Every
// change is written at once with save().
struct UserDataFile {
    std::unique_ptr<KeyedStore> store;  // none while no document is open
    std::string path;

    bool isOpen() const { return store != nullptr; }
    void open(std::string_view documentPath);
    // Forgets the closed document's data without writing anything.
    void close();
    void save() const;
};

}  // namespace vtome
