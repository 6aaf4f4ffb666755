// Placeholder handlers: each only moves past its tokens until the real one lands.
#include "story/story_commands.h"

namespace velmora {

void CmdActionSetState(Game&, const TokenList&, int32_t& p) { p += 4; }

}  // namespace velmora
