#include "document/document_loading.h"

#include "document/document_location.h"
#include "document/gzip_data.h"
#include "document/info_import.h"
#include "document/info_manual.h"
#include "runtime/failure.h"
#include "store/text_buffer.h"

namespace vtome {

namespace {

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::optional<std::string> convertInfoBytes(const std::string& path, std::string_view bytes) {
    if (!isGzipData(bytes) && !looksLikeInfo(bytes)) return std::nullopt;
    const std::optional<InfoManual> manual = readInfoManual(path, bytes);
    if (!manual) return std::nullopt;
    return convertInfoManual(*manual, fileNameOf(path));
}

}  // namespace

std::unique_ptr<KeyedStore> storeFromText(std::string_view text) {
    if (text.size() > TextBuffer::kMaxLength) fail(FailureCode::FileTooLarge);
    TextBuffer buffer(static_cast<std::uint32_t>(text.size()));
    buffer.insertBytes(text.data(), static_cast<std::uint32_t>(text.size()));
    buffer.toStart();
    return KeyedStore::fromBuffer(std::move(buffer));
}

std::unique_ptr<KeyedStore> loadDocumentStore(const std::string& path, FileReading reading) {
    if (endsWith(path, kDocumentExtension)) return KeyedStore::loadFromFile(path, reading);
    TextBuffer bytes = TextBuffer::fromFile(path, reading);
    if (std::optional<std::string> converted = convertInfoBytes(path, bytes.view())) {
        return storeFromText(*converted);
    }
    return KeyedStore::fromBuffer(std::move(bytes));
}

std::optional<std::string> convertInfoFile(const std::string& path) {
    const TextBuffer bytes = TextBuffer::fromFile(path);
    return convertInfoBytes(path, bytes.view());
}

}  // namespace vtome
