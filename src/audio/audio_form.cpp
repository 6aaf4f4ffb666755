#include "audio/audio_form.h"

#include <algorithm>
#include <sstream>

#include "audio/music_player.h"
#include "shell/game.h"
#include "shell/int_text.h"
#include "shell/text.h"

namespace velmora {
namespace {

// A track bar: the position stays within range, and a change event only on a real change.
bool MoveBar(Game& game, int& bar, int position, int low, int high, void (*onChange)(Game&)) {
  position = std::clamp(position, low, high);
  if (position == bar) return false;
  bar = position;
  game.form2->Changed();
  onChange(game);
  return true;
}

int ReadSetting(Game& game, const char* key, int def) {
  return game.config ? game.config->ReadInteger("Sound", key, def) : def;
}

}  // namespace

bool SetVolumePosition(Game& game, int position) {
  return MoveBar(game, game.form2->volume, position, AudioForm::kVolumeMin, AudioForm::kVolumeMax, VolumeChange);
}

bool SetBalancePosition(Game& game, int position) {
  return MoveBar(game, game.form2->balance, position, AudioForm::kBalanceMin, AudioForm::kBalanceMax,
                 BalanceChange);
}

void VolumeChange(Game& game) { ApplyVolume(game, game.form2->volume / 100.0); }
void BalanceChange(Game& game) { ApplyBalance(game, game.form2->balance / 5.0); }

void AudioFormCreate(Game& game) {
  SetVolumePosition(game, ReadSetting(game, "Volume", 50));
  SetBalancePosition(game, ReadSetting(game, "Balance", 0));
  // Applied whatever the bars did: a saved value equal to the designed position moves nothing.
  BalanceChange(game);
  VolumeChange(game);
}

void ShowAudioOptions(Game& game) {
  game.form2->visible = true;
  ++game.form2->showCount;
  game.form2->Changed();
}

void sButton1Click(Game& game) {
  AudioForm& form = *game.form2;
  if (game.config) {
    game.config->WriteInteger("Sound", "Volume", form.volume);
    game.config->WriteInteger("Sound", "Balance", form.balance);
  }
  form.visible = false;
  form.Changed();
}

void CloseAudioOptions(Game& game) {
  game.form2->visible = false;
  game.form2->Changed();
}

std::vector<std::string> DescribeAudioWindow(const Game& game) {
  const AudioForm& form = *game.form2;
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
  if (!game.form2->visible) return AudioStep::kNotShown;
  game.RunEvent([&] {
    if (verb == "volume") SetVolumePosition(game, *value);
    if (verb == "balance") SetBalancePosition(game, *value);
    if (verb == "ok") sButton1Click(game);
    if (verb == "close") CloseAudioOptions(game);
  });
  return AudioStep::kDone;
}

}  // namespace velmora
