#include "audio/sound_effects.h"

#include "audio/music_player.h"
#include "base/game.h"

namespace velmora {

void PlayEffectFile(Game& game, const std::string& path) {
  SoundPlayer& player = *game.sounds;
  EffectDevice* device = game.platform.effects;  // none: a device that opens and plays silently
  game.work.Charge(WorkMeter::kLoadCost + static_cast<int64_t>(game.files().Identity(path).size));
  player.fileName = path;
  if (player.deviceOpen) {
    if (device) device->Close();
    player.deviceOpen = false;
  }
  if (device) device->Open(path);  // a refusal ends the script chain with its reason
  player.deviceOpen = true;
  if (device) device->Play();
}

void PlaySoundAction(Game& game, const std::string& name) {
  const std::string file = game.tracklist ? game.tracklist->ReadText(name, "Track", "") : std::string();
  PlayFile(game, true, file, name);
}

void CloseSoundPlayer(Game& game) {
  if (!game.sounds->deviceOpen) return;
  if (game.platform.effects) game.platform.effects->Close();
  game.sounds->deviceOpen = false;
}

}  // namespace velmora
