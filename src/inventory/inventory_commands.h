#pragma once
// Script command handlers of this subsystem; the command table names them.
#include <cstdint>

#include "script/token_list.h"

namespace velmora {

class Game;

void CmdInventoryShow(Game& game, const TokenList& t, int32_t& p);
void CmdInventoryHide(Game& game, const TokenList& t, int32_t& p);
void CmdInventoryAdd(Game& game, const TokenList& t, int32_t& p);
void CmdInventoryRemove(Game& game, const TokenList& t, int32_t& p);
void CmdInventoryGetItemCount(Game& game, const TokenList& t, int32_t& p);
void CmdInventoryUsable(Game& game, const TokenList& t, int32_t& p);
void CmdInventoryUse(Game& game, const TokenList& t, int32_t& p);
void CmdInventoryDisplayName(Game& game, const TokenList& t, int32_t& p);

}  // namespace velmora
