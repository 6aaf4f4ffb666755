#pragma once
// Sound effects: one device at a time, independent of the music's stream, volume,
// balance and $player.stop. Opening a sound closes the device before (cutting off a
// sound that still plays); stopping keeps the device open until the next sound.
#include <string>

namespace velmora {

class Game;

// The platform's effect device, with the media-control semantics the player relies on.
class EffectDevice {
 public:
  virtual ~EffectDevice() = default;
  // Opens a file for playing; throws RuntimeFault with the reason when it cannot
  // ("Unknown error code" when no reason is known).
  virtual void Open(const std::string& path) = 0;
  // Plays from the start without waiting for the end.
  virtual void Play() = 0;
  virtual void Stop() = 0;
  virtual void Close() = 0;
};

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
