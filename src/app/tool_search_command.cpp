// vtome-tool's search command.

#include "app/tool_command.h"

namespace vtome::tool {

std::span<const ToolCommand> searchCommands() { return {}; }

}  // namespace vtome::tool
