// Placeholder handlers: each only moves past its tokens until the real one lands.
#include "audio/audio_commands.h"

namespace velmora {

void CmdPlayerStop(Game&, const TokenList&, int32_t& p) { p += 1; }
void CmdPlayerPlayTrack(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdPlayerPlaySound(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdPlayerSetVolume(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdPlayerSetBalance(Game&, const TokenList&, int32_t& p) { p += 2; }
void CmdPlayerStopSound(Game&, const TokenList&, int32_t& p) { p += 1; }

}  // namespace velmora
