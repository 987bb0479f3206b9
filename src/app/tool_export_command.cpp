// vtome-tool's export command.

#include "app/tool_command.h"

namespace vtome::tool {

std::span<const ToolCommand> exportCommands() { return {}; }

}  // namespace vtome::tool
