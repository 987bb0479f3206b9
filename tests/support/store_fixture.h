#pragma once
// Builds stores from exact bytes through a real file, the way the viewer
// loads them, and reads back what a save writes.

#include <memory>
#include <string>
#include <string_view>

#include "store/keyed_store.h"
#include "support/temp_dir.h"

namespace vtome::testing {

class StoreFixture {
public:
    std::unique_ptr<KeyedStore> load(std::string_view bytes) {
        const std::string path = dir_.file("loaded-" + std::to_string(++counter_) + ".ini");
        writeFile(path, bytes);
        return KeyedStore::loadFromFile(path);
    }

    // What saveToFile writes for this store.
    std::string saved(const KeyedStore& store) {
        const std::string path = dir_.file("saved-" + std::to_string(++counter_) + ".ini");
        store.saveToFile(path);
        return readFile(path);
    }

    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    int counter_ = 0;
};

}  // namespace vtome::testing
