#include "document/document_location.h"

#include "store/file_io.h"

namespace vtome {

void locateDocument(std::string_view argument, CountedString& path) {
    path.assign(argument);
    if (!pathExists(path.str())) path.append(kDocumentExtension);
}

}  // namespace vtome
