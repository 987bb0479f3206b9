#include "document/document_location.h"

#include "store/file_io.h"

namespace vtome {

void locateDocument(std::string_view argument, CountedString& path) {
    path.assign(argument);
    if (!pathExists(path.str())) path.append(kDocumentExtension);
}

std::string_view fileNameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace vtome
