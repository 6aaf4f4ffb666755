#pragma once
// Sound effects: one device at a time, independent of the music.
#include <string>

namespace velmora {

class Game;

// The platform's effect device, with the media-control semantics the player relies on.
class EffectDevice {
 public:
  virtual ~EffectDevice() = default;
  // Opens a file for playing; throws RuntimeFault with the reason when it cannot.
  virtual void Open(const std::string& path) = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  virtual void Close() = 0;
};

class SoundPlayer {
 public:
  bool deviceOpen = false;
};

// The page action "$player.playsound": the command's steps without its log line.
void PlaySoundAction(Game& game, const std::string& name);
// Closes an open device at shutdown.
void CloseSoundPlayer(Game& game);

}  // namespace velmora
