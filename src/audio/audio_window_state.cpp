#include "audio/audio_window_state.h"

#include <algorithm>
#include <functional>

#include "audio/music_player.h"
#include "base/game.h"

namespace velmora {
namespace {

// A track bar: the position stays within range, and a change event only on a real change.
bool MoveBar(AudioWindowState& window, int& bar, int position, int low, int high, const std::function<void()>& apply) {
  position = std::clamp(position, low, high);
  if (position == bar) return false;
  bar = position;
  window.Changed();
  apply();
  return true;
}

int ReadSetting(Game& game, const char* key, int def) {
  return game.config ? game.config->ReadInteger("Sound", key, def) : def;
}

}  // namespace

bool AudioWindowState::SetVolume(Game& game, int position) {
  return MoveBar(*this, volume, position, kVolumeMin, kVolumeMax, [&] { ApplyVolume(game, volume / 100.0); });
}

bool AudioWindowState::SetBalance(Game& game, int position) {
  return MoveBar(*this, balance, position, kBalanceMin, kBalanceMax, [&] { ApplyBalance(game, balance / 5.0); });
}

void AudioWindowState::LoadSettings(Game& game) {
  SetVolume(game, ReadSetting(game, "Volume", 50));
  SetBalance(game, ReadSetting(game, "Balance", 0));
  // Applied whatever the bars did: a saved value equal to the designed position moves nothing.
  ApplyBalance(game, balance / 5.0);
  ApplyVolume(game, volume / 100.0);
}

void AudioWindowState::Open(Game& game) {
  game.RunEvent([&] {
    visible = true;
    ++showCount;
    Changed();
  });
}

void AudioWindowState::MoveVolume(Game& game, int position) {
  if (visible) game.RunEvent([&] { SetVolume(game, position); });
}

void AudioWindowState::MoveBalance(Game& game, int position) {
  if (visible) game.RunEvent([&] { SetBalance(game, position); });
}

void AudioWindowState::PressOk(Game& game) {
  if (!visible) return;
  game.RunEvent([&] {
    if (game.config) {
      game.config->WriteInteger("Sound", "Volume", volume);
      game.config->WriteInteger("Sound", "Balance", balance);
    }
    visible = false;
    Changed();
  });
}

void AudioWindowState::Close() {
  if (!visible) return;
  visible = false;
  Changed();
}

std::vector<std::string> DescribeAudioWindow(const Game& game) {
  const AudioWindowState& window = *game.audioWindow;
  return {
      std::string("Audio options") + (window.visible ? "" : " (hidden)"),
      "Volume: " + std::to_string(window.volume) + " (0..100)",
      "Balance: " + std::to_string(window.balance) + " (-5..5)",
      "[OK]",
  };
}

}  // namespace velmora
