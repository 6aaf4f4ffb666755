#pragma once
// The plug-ins' command.
#include <cstdint>

#include "script/command_table.h"
#include "script/token_list.h"

namespace velmora {

class Game;

void CmdPluginInit(Game& game, const TokenList& t, int32_t p);

// The rows of these commands.
CommandRows PluginCommands();

}  // namespace velmora
