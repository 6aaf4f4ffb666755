// The $player commands: music chain, volume and balance, sound effects.
#include "audio/audio_commands.h"

#include "audio/audio_window_state.h"
#include "base/silent_platform.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "base/fault.h"
#include "base/game.h"
#include "base/int_text.h"
#include "vars/var_store.h"

namespace velmora {

void CmdPlayerStop(Game& game, const TokenList&, int32_t) {
  MusicPlayer& music = *game.music;
  if (!music.musicPlaying) return;
  MusicLibrary(game).ChannelPause(music.musicStream);
  music.musicPlaying = false;
  game.WriteLog(1, "Player stopped");
}

void CmdPlayerPlayTrack(Game& game, const TokenList& t, int32_t p) {
  const std::string name = game.vars->StrOperand(Arg(t, p + 1));
  PlayTrack(game, name);
}

// The library gets the value as given (150 amplifies); the bar then keeps its own
// range and applies its position only when it moves.
void CmdPlayerSetVolume(Game& game, const TokenList& t, int32_t p) {
  const int32_t v = StrToInt(Arg(t, p + 1));
  ApplyVolume(game, v / 100.0);
  game.audioWindow->SetVolume(game, v);
}

void CmdPlayerSetBalance(Game& game, const TokenList& t, int32_t p) {
  const int32_t v = StrToInt(Arg(t, p + 1));
  ApplyBalance(game, v / 5.0);
  game.audioWindow->SetBalance(game, v);
}

void CmdPlayerPlaySound(Game& game, const TokenList& t, int32_t p) {
  const std::string token = Arg(t, p + 1);
  PlaySoundAction(game, game.vars->StrOperand(token));
  game.WriteLog(1, "Playing sound " + token);
}

void CmdPlayerStopSound(Game& game, const TokenList&, int32_t) {
  if (!game.sounds->deviceOpen) throw RuntimeFault("No MCI device open");
  if (game.platform.effects) game.platform.effects->Stop();
  game.WriteLog(1, "Stopped sound player");
}

namespace {

// clang-format off
// Fixed(name, width, speed, handler)
constexpr CommandInfo kRows[] = {
  Fixed("$player.stop", 1, kSlow, CmdPlayerStop),                // pause the music
  Fixed("$player.playtrack", 2, kSlow, CmdPlayerPlayTrack),      // track
  Fixed("$player.playsound", 2, kSlow, CmdPlayerPlaySound),      // sound
  Fixed("$player.SetVolume", 2, kSlow, CmdPlayerSetVolume),      // 0..100
  Fixed("$player.SetBalance", 2, kSlow, CmdPlayerSetBalance),    // -5..5
  Fixed("$player.stopsound", 1, kSlow, CmdPlayerStopSound),
};
// clang-format on

}  // namespace

CommandRows AudioCommands() { return kRows; }

}  // namespace velmora
