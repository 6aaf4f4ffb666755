// Placeholder handlers: each only moves past its tokens until the real one lands.
#include "inventory/inventory_commands.h"

namespace velmora {

void CmdInventoryShow(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdInventoryHide(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdInventoryAdd(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdInventoryRemove(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdInventoryGetItemCount(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdInventoryUsable(Game&, const TokenList&, int32_t& p) { p += 3; }
void CmdInventoryUse(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdInventoryDisplayName(Game&, const TokenList&, int32_t& p) { p += 3; }

}  // namespace velmora
