#pragma once
// Script command handlers of this subsystem; the command table names them.
#include <cstdint>

#include "script/token_list.h"

namespace velmora {

class Game;

void CmdWhile(Game& game, const TokenList& t, int32_t& p);
void CmdCycle(Game& game, const TokenList& t, int32_t& p);
void CmdLabel(Game& game, const TokenList& t, int32_t& p);
void CmdJump(Game& game, const TokenList& t, int32_t& p);
void CmdRun(Game& game, const TokenList& t, int32_t& p);
void CmdGoto(Game& game, const TokenList& t, int32_t& p);
void CmdSleep(Game& game, const TokenList& t, int32_t& p);
void CmdStart(Game& game, const TokenList& t, int32_t& p);
void CmdLoad(Game& game, const TokenList& t, int32_t& p);
void CmdShowMessage(Game& game, const TokenList& t, int32_t& p);
void CmdExit(Game& game, const TokenList& t, int32_t& p);

}  // namespace velmora
