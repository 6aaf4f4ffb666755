#pragma once
// The script engine's own commands: control flow, messages, variables and sets.
#include <cstdint>

#include "script/command_table.h"
#include "script/token_list.h"

namespace velmora {

class Game;

// Control flow and messages (script/control_commands.cpp).
void CmdWhile(Game& game, const TokenList& t, int32_t p);
void CmdCycle(Game& game, const TokenList& t, int32_t p);
void CmdLabel(Game& game, const TokenList& t, int32_t p);
void CmdJump(Game& game, const TokenList& t, int32_t p);
void CmdRun(Game& game, const TokenList& t, int32_t p);
void CmdSleep(Game& game, const TokenList& t, int32_t p);
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

// The rows of these commands (script/control_commands.cpp, script/var_commands.cpp).
CommandRows ControlCommands();
CommandRows VariableCommands();

}  // namespace velmora
