#pragma once
// The $inventory commands.
#include <cstdint>

#include "script/command_table.h"
#include "script/token_list.h"

namespace velmora {

class Game;

void CmdInventoryShow(Game& game, const TokenList& t, int32_t p);
void CmdInventoryHide(Game& game, const TokenList& t, int32_t p);
void CmdInventoryAdd(Game& game, const TokenList& t, int32_t p);
void CmdInventoryRemove(Game& game, const TokenList& t, int32_t p);
void CmdInventoryGetItemCount(Game& game, const TokenList& t, int32_t p);
void CmdInventoryUsable(Game& game, const TokenList& t, int32_t p);
void CmdInventoryUse(Game& game, const TokenList& t, int32_t p);
void CmdInventoryDisplayName(Game& game, const TokenList& t, int32_t p);

// The rows of these commands.
CommandRows InventoryCommands();

}  // namespace velmora
