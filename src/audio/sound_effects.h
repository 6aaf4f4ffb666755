#pragma once
// Sound effects: one device at a time, independent of the music's stream, volume,
// balance and $player.stop. Opening a sound closes the device before (cutting off a
// sound that still plays); stopping keeps the device open until the next sound.
#include <string>

#include "base/platform.h"

namespace velmora {

class Game;

class SoundPlayer {
 public:
  bool deviceOpen = false;
  std::string fileName;  // the last file given to the player
};

// Plays a file (the full path on this system) as the sound effect.
void PlayEffectFile(Game& game, const std::string& path);
// The page action "$player.playsound": the command's steps without its log line.
void PlaySoundAction(Game& game, const std::string& name);
// Closes an open device at shutdown.
void CloseSoundPlayer(Game& game);

}  // namespace velmora
