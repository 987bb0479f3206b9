#include "annotations/user_data.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "document/document_location.h"
#include "store/file_io.h"

namespace vtome {

namespace {

constexpr std::string_view kUserDataExtension = ".vinfo";

// FNV-1a, 64 bits: stable across runs and machines, which a data folder
// shared by several installations needs.
std::uint64_t pathHash(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// Failures that mean "not here": the folder or the file refuses us, or is
// no place for a file at all. A full disk or an I/O error is not cured by
// writing elsewhere on the same machine, and is reported instead.
bool refusedHere(const RuntimeFailure& failure) {
    if (!failure.isAboutFile()) return false;
    switch (failure.systemError()) {
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ENOTDIR:
        case ENOENT: return true;
        // A target that is no regular file (a FIFO, a device).
        case 0: return failure.code() == FailureCode::FileOpenFailure;
        default: return false;
    }
}

bool isWritable(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

}  // namespace

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
    dest.append(kUserDataExtension);
}

std::string fallbackUserDataPath(std::string_view documentPath, const std::string& dataFolder) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(std::string(documentPath), error);
    if (error) absolute = std::string(documentPath);
    const std::string key = absolute.lexically_normal().string();

    const std::string_view fileName = fileNameOf(documentPath);
    CountedString beside(fileName.size() + kUserDataExtension.size());
    userDataPathFor(fileName, beside);
    std::string name = beside.str().substr(0, beside.length() - kUserDataExtension.size());
    char hash[24];
    std::snprintf(hash, sizeof hash, "-%012llx", static_cast<unsigned long long>(pathHash(key) & 0xFFFFFFFFFFFFull));
    return dataFolder + "/" + name + hash + std::string(kUserDataExtension);
}

std::string defaultDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/vtome";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/vtome";
}

std::optional<RuntimeFailure> UserDataFile::open(std::string_view documentPath, const std::string& dataFolder) {
    CountedString besidePath(kPathCapacity);
    userDataPathFor(documentPath, besidePath);
    // Derived from the path as given, then held absolute: a later change of
    // the current folder (Save As moves it) must not move the data.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(besidePath.str(), error);
    CountedString beside(kPathCapacity);
    beside.assign(error ? besidePath.str() : absolute.lexically_normal().string());
    fallbackPath_ = fallbackUserDataPath(documentPath, dataFolder);
    const bool fallbackExists = pathExists(fallbackPath_);

    std::optional<RuntimeFailure> problem;
    usingFallback_ = false;
    if (pathExists(beside.str())) {
        // The data folder's copy only ever holds what could not be written
        // beside the document, so it is the newer one while that still holds.
        usingFallback_ = fallbackExists && !isWritable(beside.str());
        if (!usingFallback_) {
            try {
                store_ = KeyedStore::loadFromFile(beside.str());
            } catch (const RuntimeFailure& failure) {
                if (!failure.isAboutFile()) throw;
                problem = failure;
                usingFallback_ = true;
            }
        }
    } else {
        usingFallback_ = fallbackExists;
    }
    path_ = usingFallback_ ? fallbackPath_ : beside.str();
    if (usingFallback_) {
        try {
            store_ = fallbackExists ? KeyedStore::loadFromFile(fallbackPath_) : KeyedStore::newEmpty();
        } catch (const RuntimeFailure& failure) {
            if (!failure.isAboutFile()) throw;
            if (!problem) problem = failure;
            store_ = KeyedStore::newEmpty();
        }
    } else if (!store_) {
        store_ = KeyedStore::newEmpty();
    }
    return problem;
}

void UserDataFile::close() {
    store_.reset();
    path_.clear();
    fallbackPath_.clear();
    usingFallback_ = false;
}

void UserDataFile::writeTo(const std::string& path, const KeyedStore& store) {
    if (path == fallbackPath_) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    }
    store.saveToFile(path);
}

void UserDataFile::commit(const std::function<void(KeyedStore&)>& edit) {
    if (!store_) return;
    std::unique_ptr<KeyedStore> edited = KeyedStore::fromText(store_->text());
    edit(*edited);
    try {
        writeTo(path_, *edited);
    } catch (const RuntimeFailure& failure) {
        if (usingFallback_ || !refusedHere(failure)) throw;
        writeTo(fallbackPath_, *edited);
        usingFallback_ = true;
        path_ = fallbackPath_;
        if (moved_) moved_(path_);
    }
    store_ = std::move(edited);
}

}  // namespace vtome
