#include "audio/audio_window_state.h"

#include <algorithm>
#include <sstream>

#include "audio/music_player.h"
#include "base/game.h"
#include "base/int_text.h"
#include "base/text.h"

namespace velmora {
namespace {

// A track bar: the position stays within range, and a change event only on a real change.
bool MoveBar(Game& game, int& bar, int position, int low, int high, void (*onChange)(Game&)) {
  position = std::clamp(position, low, high);
  if (position == bar) return false;
  bar = position;
  game.audioWindow->Changed();
  onChange(game);
  return true;
}

int ReadSetting(Game& game, const char* key, int def) {
  return game.config ? game.config->ReadInteger("Sound", key, def) : def;
}

}  // namespace

bool SetVolumePosition(Game& game, int position) {
  return MoveBar(game, game.audioWindow->volume, position, AudioWindowState::kVolumeMin, AudioWindowState::kVolumeMax, ApplyVolume);
}

bool SetBalancePosition(Game& game, int position) {
  return MoveBar(game, game.audioWindow->balance, position, AudioWindowState::kBalanceMin, AudioWindowState::kBalanceMax,
                 ApplyBalance);
}

void ApplyVolume(Game& game) { ApplyVolume(game, game.audioWindow->volume / 100.0); }
void ApplyBalance(Game& game) { ApplyBalance(game, game.audioWindow->balance / 5.0); }

void LoadAudioOptions(Game& game) {
  SetVolumePosition(game, ReadSetting(game, "Volume", 50));
  SetBalancePosition(game, ReadSetting(game, "Balance", 0));
  // Applied whatever the bars did: a saved value equal to the designed position moves nothing.
  ApplyBalance(game);
  ApplyVolume(game);
}

void ShowAudioOptions(Game& game) {
  game.audioWindow->visible = true;
  ++game.audioWindow->showCount;
  game.audioWindow->Changed();
}

void SaveAudioOptions(Game& game) {
  AudioWindowState& form = *game.audioWindow;
  if (game.config) {
    game.config->WriteInteger("Sound", "Volume", form.volume);
    game.config->WriteInteger("Sound", "Balance", form.balance);
  }
  form.visible = false;
  form.Changed();
}

void CloseAudioOptions(Game& game) {
  game.audioWindow->visible = false;
  game.audioWindow->Changed();
}

std::vector<std::string> DescribeAudioWindow(const Game& game) {
  const AudioWindowState& form = *game.audioWindow;
  return {
      std::string("Audio options") + (form.visible ? "" : " (hidden)"),
      "Volume: " + std::to_string(form.volume) + " (0..100)",
      "Balance: " + std::to_string(form.balance) + " (-5..5)",
      "[OK]",
  };
}

AudioStep RunAudioStep(Game& game, std::string_view args) {
  std::istringstream in{std::string(args)};
  std::string verb, number, extra;
  in >> verb >> number >> extra;
  verb = AsciiLower(verb);
  if (!extra.empty()) return AudioStep::kUnknown;
  if (verb.empty()) {
    game.RunEvent([&] { ShowAudioOptions(game); });
    return AudioStep::kDone;
  }
  const bool needsNumber = verb == "volume" || verb == "balance";
  if (needsNumber != !number.empty() || (!needsNumber && verb != "ok" && verb != "close"))
    return AudioStep::kUnknown;
  std::optional<int32_t> value;
  if (needsNumber && !(value = ParseInt32(number))) return AudioStep::kUnknown;
  if (!game.audioWindow->visible) return AudioStep::kNotShown;
  game.RunEvent([&] {
    if (verb == "volume") SetVolumePosition(game, *value);
    if (verb == "balance") SetBalancePosition(game, *value);
    if (verb == "ok") SaveAudioOptions(game);
    if (verb == "close") CloseAudioOptions(game);
  });
  return AudioStep::kDone;
}

}  // namespace velmora
