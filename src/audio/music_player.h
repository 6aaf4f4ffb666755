#pragma once
// The background music chain: tracklist entries name a file and the track that follows.
// The 100 ms music timer (Game::musicTimer) notices when the current stream has played to its end and
// starts the next track, so a track that names itself as its successor repeats.
#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

class Game;
class AudioLibrary;

class MusicPlayer {
 public:
  uint32_t musicStream = 0;            // the current stream; 0 for none
  std::string nextTrackName = "nil";   // started when the current stream has ended
  bool musicPlaying = false;           // set by a start, cleared by $player.stop
  // What a saved game needs to make the current stream again: its file (as opened) and
  // the volume and balance applied to it since it was made (none: the library's own).
  std::string streamFile;
  std::optional<float> streamVolume, streamBalance;
  // Message boxes of PlayFile now open. The event loop keeps delivering music timer ticks
  // under a modal box; while one of these is open the tick would find the failed track
  // and the old next name and open the same box again on top, so ticks wait.
  int boxesOpen = 0;
};

// Tracklist entries beyond this many are not checked at start-up: a WriterList Count of
// two thousand million would otherwise keep start-up busy for hours writing log lines.
constexpr int32_t kMaxCheckedTracks = 10000;

void PlayTrack(Game& game, const std::string& name);
// effectPlayer: true plays the file as a sound effect, false as a new music stream.
void PlayFile(Game& game, bool effectPlayer, const std::string& file, const std::string& name);
void CheckTracklist(Game& game);
// Start-up music from config.ini [Start] StartMusic.
void StartMusic(Game& game);
void ContinueMusicChain(Game& game);

// The music library the front end lent the game (a silent one when it lent none).
AudioLibrary& MusicLibrary(Game& game);
// Applies a volume (1 = full) or balance (-1 left .. 1 right) to the current stream.
void ApplyVolume(Game& game, double volume);
void ApplyBalance(Game& game, double balance);

}  // namespace velmora
