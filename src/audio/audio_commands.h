#pragma once
// The $player commands: music chain, volume and balance, sound effects.
#include <cstdint>

#include "script/command_table.h"
#include "script/token_list.h"

namespace velmora {

class Game;

void CmdPlayerStop(Game& game, const TokenList& t, int32_t p);
void CmdPlayerPlayTrack(Game& game, const TokenList& t, int32_t p);
void CmdPlayerPlaySound(Game& game, const TokenList& t, int32_t p);
void CmdPlayerSetVolume(Game& game, const TokenList& t, int32_t p);
void CmdPlayerSetBalance(Game& game, const TokenList& t, int32_t p);
void CmdPlayerStopSound(Game& game, const TokenList& t, int32_t p);

// The rows of these commands.
CommandRows AudioCommands();

}  // namespace velmora
