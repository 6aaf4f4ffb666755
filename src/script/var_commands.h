#pragma once
// Script command handlers of this subsystem; the command table names them.
#include <cstdint>
#include <string>
#include <string_view>

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

// The condition of $while: one of six comparison names (matched by SameCommand) applied to
// a variable a and an operand b; any other name is false.
bool EvalCondition(Game& game, std::string_view name, std::string_view a, std::string_view b);
// The same with the three tokens at c, c+1, c+2 of a list.
bool EvalConditionAt(Game& game, const TokenList& t, int32_t c);

// The next number of the run's generator: 0..n-1 for positive n, 0 for 0, a negative n
// counting as 2^32 + n.
int32_t RandomBelow(Game& game, int32_t n);

// The text of a key of section "Messages" of the messages file, empty when either is missing.
std::string MessageText(Game& game, std::string_view key);

}  // namespace velmora
