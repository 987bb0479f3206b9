#include "annotations/user_data.h"

#include "document/document_location.h"
#include "store/file_io.h"

namespace vtome {

void userDataPathFor(std::string_view documentPath, CountedString& dest) {
    std::string_view base = documentPath;
    if (base.size() >= 3) {
        for (std::size_t i = base.size() - 1; i >= 1; --i) {
            if (base[i] == '.') {
                base = base.substr(0, i);
                break;
            }
        }
    }
    dest.assign(base);
    dest.append(".vinfo");
}

std::unique_ptr<KeyedStore> loadUserData(const std::string& path) {
    return pathExists(path) ? KeyedStore::loadFromFile(path) : KeyedStore::newEmpty();
}

void UserDataFile::open(std::string_view documentPath) {
    CountedString userDataPath(kPathCapacity);
    userDataPathFor(documentPath, userDataPath);
    path = userDataPath.str();
    store = loadUserData(path);
}

void UserDataFile::close() {
    store.reset();
    path.clear();
}

void UserDataFile::save() const {
    if (store) store->saveToFile(path);
}

}  // namespace vtome
