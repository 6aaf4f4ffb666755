#include "audio/music_player.h"

#include <map>

#include "base/silent_platform.h"
#include "audio/sound_effects.h"
#include "base/game.h"
#include "base/text.h"

namespace velmora {
namespace {

std::string ReadTracklist(Game& game, const std::string& section, const char* key, const char* def) {
  return game.tracklist ? game.tracklist->ReadText(section, key, def) : std::string(def);
}

std::string MusicPath(Game& game, const std::string& file) { return game.gameFolder() + "Music\\" + file; }

void ShowPlayerMessage(Game& game, const std::string& text) {
  MusicPlayer& music = *game.music;
  ++music.boxesOpen;
  struct Closed {
    MusicPlayer& m;
    ~Closed() { --m.boxesOpen; }
  } closed{music};
  game.dialogs().ShowMessage(text);
}

}  // namespace

AudioLibrary& MusicLibrary(Game& game) {
  static SilentAudioLibrary silent;
  return game.platform.audio ? *game.platform.audio : silent;
}

void ApplyVolume(Game& game, double volume) {
  game.music->streamVolume = static_cast<float>(volume);
  MusicLibrary(game).ChannelSetAttribute(game.music->musicStream, AudioLibrary::kAttribVolume,
                                         static_cast<float>(volume));
}

void ApplyBalance(Game& game, double balance) {
  game.music->streamBalance = static_cast<float>(balance);
  MusicLibrary(game).ChannelSetAttribute(game.music->musicStream, AudioLibrary::kAttribPan,
                                         static_cast<float>(balance));
}

void PlayTrack(Game& game, const std::string& name) {
  const std::string file = ReadTracklist(game, name, "Track", "nil");
  PlayFile(game, false, file, name);
  // Only after PlayFile: while one of its boxes is open the old next name must stay.
  game.music->nextTrackName = ReadTracklist(game, name, "NextTrack", "nil");
}

void PlayFile(Game& game, bool effectPlayer, const std::string& file, const std::string& name) {
  MusicPlayer& music = *game.music;
  if (file == "nil") {
    game.WriteLog(2, "Sound " + name + " not found!");
    ShowPlayerMessage(game, "Sound " + name + " not found!");
    game.musicTimer.SetEnabled(false);
    return;
  }
  const std::string path = MusicPath(game, file);
  if (!game.files().FileExists(path)) return;
  if (effectPlayer) {
    PlayEffectFile(game, game.files().Resolve(path));
    return;
  }
  AudioLibrary& library = MusicLibrary(game);
  // The stream before stays as it is: if it still plays, it plays on to its end. One that
  // does not play (paused by $player.stop, or never started) can never be heard or
  // resumed once it is no longer current, so it is released instead of kept to the end
  // of the run: a story that stops and restarts its music on every page would otherwise
  // hold a decoder for each time.
  const std::string resolved = game.files().Resolve(path);
  game.work.Charge(WorkMeter::kLoadCost + static_cast<int64_t>(game.files().Identity(resolved).size));
  const uint32_t before = music.musicStream;
  music.streamFile = resolved;
  music.streamVolume.reset();
  music.streamBalance.reset();
  music.musicStream = library.StreamCreateFile(music.streamFile);
  if (before != 0 && before != music.musicStream && library.ChannelIsActive(before) != AudioLibrary::kPlaying)
    library.StreamFree(before);
  game.WriteLog(1, "Started playing sound: " + name);
  if (music.musicStream == 0) {
    ShowPlayerMessage(game, "Error while loading audio!");
    return;
  }
  if (!library.ChannelPlay(music.musicStream, false)) {
    ShowPlayerMessage(game, "Error! Cannot play audiofile");
    return;
  }
  music.musicPlaying = true;
  game.musicTimer.SetEnabled(true);
}

void ContinueMusicChain(Game& game) {
  MusicPlayer& music = *game.music;
  if (music.boxesOpen > 0) return;
  if (MusicLibrary(game).ChannelIsActive(music.musicStream) == 0 && music.nextTrackName != "nil")
    PlayTrack(game, std::string(music.nextTrackName));
}

void StartMusic(Game& game) {
  game.music->nextTrackName = game.config ? game.config->ReadText("Start", "StartMusic", "nil") : "nil";
  if (game.music->nextTrackName != "nil") PlayTrack(game, std::string(game.music->nextTrackName));
}

void CheckTracklist(Game& game) {
  if (!game.tracklist) return;
  const int32_t count = game.tracklist->ReadInteger("WriterList", "Count", 0);
  const int32_t checked = count < kMaxCheckedTracks ? count : kMaxCheckedTracks;
  // Entries past the keys present all read "nil"; look each file up once.
  std::map<std::string, bool> found;
  for (int32_t i = 0; i < checked; ++i) {
    const std::string track = game.tracklist->ReadText("WriterList", "Track" + IntToStr(i), "nil");
    const std::string file = game.tracklist->ReadText(track, "Track", "nil");
    auto it = found.find(file);
    if (it == found.end()) it = found.emplace(file, game.files().FileExists(MusicPath(game, file))).first;
    if (it->second) {
      game.WriteLog(1, track + " ---done!");
    } else {
      game.WriteLog(2, track + " ---not found!");
    }
  }
  if (count > checked)
    game.WriteLog(2, "Tracklist [WriterList] Count " + IntToStr(count) + " is too large; only the first " +
                         IntToStr(checked) + " tracks were checked");
}

}  // namespace velmora
