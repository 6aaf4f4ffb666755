#pragma once
// Script command handlers of this subsystem; the command table names them.
#include <cstdint>

#include "script/token_list.h"

namespace velmora {

class Game;

void CmdPlayerStop(Game& game, const TokenList& t, int32_t& p);
void CmdPlayerPlayTrack(Game& game, const TokenList& t, int32_t& p);
void CmdPlayerPlaySound(Game& game, const TokenList& t, int32_t& p);
void CmdPlayerSetVolume(Game& game, const TokenList& t, int32_t& p);
void CmdPlayerSetBalance(Game& game, const TokenList& t, int32_t& p);
void CmdPlayerStopSound(Game& game, const TokenList& t, int32_t& p);

}  // namespace velmora
