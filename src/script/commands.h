#pragma once
// The handlers of every script command, whichever subsystem they live in. The command
// table names them and says how far each moves the position; a handler only gets the
// position of its command token and reads its arguments from there on.
#include <cstdint>

#include "script/token_list.h"

namespace velmora {

class Game;

// Does the command's work.
using CommandAction = void (*)(Game& game, const TokenList& t, int32_t p);
// A test: whether the command after it runs.
using CommandTest = bool (*)(Game& game, const TokenList& t, int32_t p);

// Control flow and messages (script/control_commands.cpp).
void CmdWhile(Game& game, const TokenList& t, int32_t p);
void CmdCycle(Game& game, const TokenList& t, int32_t p);
void CmdLabel(Game& game, const TokenList& t, int32_t p);
void CmdJump(Game& game, const TokenList& t, int32_t p);
void CmdRun(Game& game, const TokenList& t, int32_t p);
void CmdGoto(Game& game, const TokenList& t, int32_t p);
void CmdSleep(Game& game, const TokenList& t, int32_t p);
void CmdStart(Game& game, const TokenList& t, int32_t p);
void CmdLoad(Game& game, const TokenList& t, int32_t p);
void CmdShowMessage(Game& game, const TokenList& t, int32_t p);
void CmdExit(Game& game, const TokenList& t, int32_t p);

// Variables and sets (script/var_commands.cpp).
void CmdIntSetClear(Game& game, const TokenList& t, int32_t p);
void CmdStringSetClear(Game& game, const TokenList& t, int32_t p);
bool CmdIntSetFind(Game& game, const TokenList& t, int32_t p);
bool CmdIntSetCantFind(Game& game, const TokenList& t, int32_t p);
bool CmdIntSetFindAdd(Game& game, const TokenList& t, int32_t p);
bool CmdStringSetFind(Game& game, const TokenList& t, int32_t p);
void CmdIntSetRemove(Game& game, const TokenList& t, int32_t p);
void CmdStringSetRemove(Game& game, const TokenList& t, int32_t p);
bool CmdStringSetCantFind(Game& game, const TokenList& t, int32_t p);
bool CmdStrSetFindAdd(Game& game, const TokenList& t, int32_t p);
void CmdStringNew(Game& game, const TokenList& t, int32_t p);
void CmdStringSet(Game& game, const TokenList& t, int32_t p);
void CmdStringGet(Game& game, const TokenList& t, int32_t p);
bool CmdStringNotEqual(Game& game, const TokenList& t, int32_t p);
bool CmdStringEqual(Game& game, const TokenList& t, int32_t p);
void CmdStringSplit(Game& game, const TokenList& t, int32_t p);
void CmdStringSplitInt(Game& game, const TokenList& t, int32_t p);
void CmdIntNew(Game& game, const TokenList& t, int32_t p);
void CmdIntSet(Game& game, const TokenList& t, int32_t p);
void CmdIntRandom(Game& game, const TokenList& t, int32_t p);
void CmdIntRandomRange(Game& game, const TokenList& t, int32_t p);
void CmdIntAdd(Game& game, const TokenList& t, int32_t p);
void CmdIntSubstrat(Game& game, const TokenList& t, int32_t p);
void CmdIntMultiple(Game& game, const TokenList& t, int32_t p);
void CmdIntDiv(Game& game, const TokenList& t, int32_t p);
void CmdIntMod(Game& game, const TokenList& t, int32_t p);
bool CmdIntNotEqual(Game& game, const TokenList& t, int32_t p);
bool CmdIntEqual(Game& game, const TokenList& t, int32_t p);
bool CmdIntLargerThan(Game& game, const TokenList& t, int32_t p);
bool CmdIntLargerThanOrEqual(Game& game, const TokenList& t, int32_t p);
bool CmdIntSmallerThan(Game& game, const TokenList& t, int32_t p);
bool CmdIntSmallerThanOrEqual(Game& game, const TokenList& t, int32_t p);

// Story pages and the main window (story/story_commands.cpp, story/window_commands.cpp).
void CmdActionSetState(Game& game, const TokenList& t, int32_t p);
void CmdFormSetSize(Game& game, const TokenList& t, int32_t p);
void CmdFormSetPos(Game& game, const TokenList& t, int32_t p);
void CmdFormLoadTextFromPage(Game& game, const TokenList& t, int32_t p);
void CmdFormLoadTextFromFile(Game& game, const TokenList& t, int32_t p);
void CmdFormSetPic(Game& game, const TokenList& t, int32_t p);

// Inventory (inventory/inventory_commands.cpp).
void CmdInventoryShow(Game& game, const TokenList& t, int32_t p);
void CmdInventoryHide(Game& game, const TokenList& t, int32_t p);
void CmdInventoryAdd(Game& game, const TokenList& t, int32_t p);
void CmdInventoryRemove(Game& game, const TokenList& t, int32_t p);
void CmdInventoryGetItemCount(Game& game, const TokenList& t, int32_t p);
void CmdInventoryUsable(Game& game, const TokenList& t, int32_t p);
void CmdInventoryUse(Game& game, const TokenList& t, int32_t p);
void CmdInventoryDisplayName(Game& game, const TokenList& t, int32_t p);

// Music and sound (audio/audio_commands.cpp).
void CmdPlayerStop(Game& game, const TokenList& t, int32_t p);
void CmdPlayerPlayTrack(Game& game, const TokenList& t, int32_t p);
void CmdPlayerPlaySound(Game& game, const TokenList& t, int32_t p);
void CmdPlayerSetVolume(Game& game, const TokenList& t, int32_t p);
void CmdPlayerSetBalance(Game& game, const TokenList& t, int32_t p);
void CmdPlayerStopSound(Game& game, const TokenList& t, int32_t p);

// Plug-ins (plugins/plugin_commands.cpp).
void CmdPluginInit(Game& game, const TokenList& t, int32_t p);

}  // namespace velmora
