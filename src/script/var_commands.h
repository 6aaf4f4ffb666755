#pragma once
// Script command handlers of this subsystem; the command table names them.
#include <cstdint>

#include "script/token_list.h"

namespace velmora {

class Game;

void CmdIntSetClear(Game& game, const TokenList& t, int32_t& p);
void CmdStringSetClear(Game& game, const TokenList& t, int32_t& p);
void CmdIntSetFind(Game& game, const TokenList& t, int32_t& p);
void CmdIntSetCantFind(Game& game, const TokenList& t, int32_t& p);
void CmdIntSetFindAdd(Game& game, const TokenList& t, int32_t& p);
void CmdStringSetFind(Game& game, const TokenList& t, int32_t& p);
void CmdIntSetRemove(Game& game, const TokenList& t, int32_t& p);
void CmdStringSetRemove(Game& game, const TokenList& t, int32_t& p);
void CmdStringSetCantFind(Game& game, const TokenList& t, int32_t& p);
void CmdStrSetFindAdd(Game& game, const TokenList& t, int32_t& p);
void CmdStringNew(Game& game, const TokenList& t, int32_t& p);
void CmdStringSet(Game& game, const TokenList& t, int32_t& p);
void CmdStringGet(Game& game, const TokenList& t, int32_t& p);
void CmdStringNotEqual(Game& game, const TokenList& t, int32_t& p);
void CmdStringEqual(Game& game, const TokenList& t, int32_t& p);
void CmdStringSplit(Game& game, const TokenList& t, int32_t& p);
void CmdStringSplitInt(Game& game, const TokenList& t, int32_t& p);
void CmdIntNew(Game& game, const TokenList& t, int32_t& p);
void CmdIntSet(Game& game, const TokenList& t, int32_t& p);
void CmdIntRandom(Game& game, const TokenList& t, int32_t& p);
void CmdIntRandomRange(Game& game, const TokenList& t, int32_t& p);
void CmdIntAdd(Game& game, const TokenList& t, int32_t& p);
void CmdIntSubstrat(Game& game, const TokenList& t, int32_t& p);
void CmdIntMultiple(Game& game, const TokenList& t, int32_t& p);
void CmdIntDiv(Game& game, const TokenList& t, int32_t& p);
void CmdIntMod(Game& game, const TokenList& t, int32_t& p);
void CmdIntNotEqual(Game& game, const TokenList& t, int32_t& p);
void CmdIntEqual(Game& game, const TokenList& t, int32_t& p);
void CmdIntLargerThan(Game& game, const TokenList& t, int32_t& p);
void CmdIntLargerThanOrEqual(Game& game, const TokenList& t, int32_t& p);
void CmdIntSmallerThan(Game& game, const TokenList& t, int32_t& p);
void CmdIntSmallerThanOrEqual(Game& game, const TokenList& t, int32_t& p);

}  // namespace velmora
