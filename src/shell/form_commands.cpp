// Placeholder handlers: each only moves past its tokens until the real one lands.
#include "shell/form_commands.h"

namespace velmora {

void CmdFormSetSize(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdFormSetPos(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdFormLoadTextFromPage(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdFormLoadTextFromFile(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdFormSetPic(Game&, const TokenList&, int32_t& p) { p += 2; }

}  // namespace velmora
