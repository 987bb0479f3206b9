// vtome-tool import-info: a GNU Info manual written out as a help document,
// by the same conversion the viewer runs when it opens one.

#include <cstdio>

#include "app/tool_command.h"
#include "document/document_loading.h"
#include "store/file_io.h"

namespace vtome::tool {

namespace {

int importInfo(const Arguments& a) {
    const std::optional<std::string> document = convertInfoFile(a[0]);
    if (!document) {
        std::fprintf(stderr, "vtome-tool: %s: not an Info manual\n", a[0].c_str());
        return kFalse;
    }
    writeFileSafely(a[1], *document);
    return kSuccess;
}

constexpr ToolCommand kInfoCommands[] = {
    {"import-info", "FILE.info[.gz] OUT.vtome (an Info manual as a help document)", 2, importInfo},
};

}  // namespace

std::span<const ToolCommand> infoCommands() { return kInfoCommands; }

}  // namespace vtome::tool
