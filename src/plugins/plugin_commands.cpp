// Placeholder handlers: each only moves past its tokens until the real one lands.
#include "plugins/plugin_commands.h"

namespace velmora {

void CmdPluginInit(Game&, const TokenList&, int32_t& p) { p += 2; }

}  // namespace velmora
