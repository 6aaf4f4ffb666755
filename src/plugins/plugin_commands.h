#pragma once
// Script command handlers of this subsystem; the command table names them.
#include <cstdint>

#include "script/token_list.h"

namespace velmora {

class Game;

void CmdPluginInit(Game& game, const TokenList& t, int32_t& p);

}  // namespace velmora
