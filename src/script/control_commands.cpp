// Placeholder handlers: each only moves past its tokens until the real one lands.
#include "script/control_commands.h"

namespace velmora {

void CmdWhile(Game&, const TokenList&, int32_t& p) { p += 6; }
void CmdCycle(Game&, const TokenList&, int32_t& p) { p += 7; }
void CmdLabel(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdJump(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdRun(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdGoto(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdSleep(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdStart(Game&, const TokenList&, int32_t& p) { p += 1; }
void CmdLoad(Game&, const TokenList&, int32_t& p) { p += 1; }
void CmdShowMessage(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdExit(Game&, const TokenList&, int32_t& p) { p += 1; }

}  // namespace velmora
