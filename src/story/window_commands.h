#pragma once
// Script command handlers of this subsystem; the command table names them.
#include <cstdint>

#include "script/token_list.h"

namespace velmora {

class Game;

void CmdFormSetSize(Game& game, const TokenList& t, int32_t& p);
void CmdFormSetPos(Game& game, const TokenList& t, int32_t& p);
void CmdFormLoadTextFromPage(Game& game, const TokenList& t, int32_t& p);
void CmdFormLoadTextFromFile(Game& game, const TokenList& t, int32_t& p);
void CmdFormSetPic(Game& game, const TokenList& t, int32_t& p);

}  // namespace velmora
