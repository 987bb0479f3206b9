#include "shell/side_commands.h"

#include "shell/application.h"

namespace vtome::shell {

void SideCommands::exportText() {}
void SideCommands::openOwnHelp() {}
void SideCommands::showShortcuts() {}
void SideCommands::showAbout() {}

}  // namespace vtome::shell
