// Placeholder handlers: each only moves past its tokens until the real one lands.
#include "script/var_commands.h"

namespace velmora {

void CmdIntSetClear(Game&, const TokenList&, int32_t& p) { p += 1; }
void CmdStringSetClear(Game&, const TokenList&, int32_t& p) { p += 1; }
void CmdIntSetFind(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdIntSetCantFind(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdIntSetFindAdd(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdStringSetFind(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdIntSetRemove(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdStringSetRemove(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdStringSetCantFind(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdStrSetFindAdd(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdStringNew(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdStringSet(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdStringGet(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdStringNotEqual(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdStringEqual(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdStringSplit(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdStringSplitInt(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntNew(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdIntSet(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntRandom(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntRandomRange(Game&, const TokenList&, int32_t& p) { p += 4; }
void CmdIntAdd(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntSubstrat(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntMultiple(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntDiv(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntMod(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntNotEqual(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntEqual(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntLargerThan(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntLargerThanOrEqual(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntSmallerThan(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdIntSmallerThanOrEqual(Game&, const TokenList&, int32_t& p) { p += 3; }

}  // namespace velmora
