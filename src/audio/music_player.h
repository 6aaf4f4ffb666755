#pragma once
// The background music chain: tracklist entries name a file and the track that follows.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class Game;

class MusicPlayer {
 public:
  uint32_t musicStream = 0;
  std::string nextTrackName;
  bool musicPlaying = false;
};

void PlayTrack(Game& game, const std::string& name);
// player: true for the sound-effect device, false for a music stream.
void PlayFile(Game& game, bool effectPlayer, const std::string& file, const std::string& name);
void CheckTracklist(Game& game);
// Start-up music from config.ini [Start] StartMusic.
void StartMusic(Game& game);
void Timer1Timer(Game& game);

}  // namespace velmora
