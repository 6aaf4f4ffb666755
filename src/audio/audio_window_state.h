#pragma once
// What the audio options window (AudioWindow) shows and holds, without any widget: two track
// bars that keep their positions within range and report only real changes, and the
// handlers that apply them to the current music stream and save them.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class Game;

class AudioWindowState {
 public:
  static constexpr int kVolumeMin = 0, kVolumeMax = 100;
  static constexpr int kBalanceMin = -5, kBalanceMax = 5;
  static constexpr int kClientWidth = 261, kClientHeight = 162;
  static constexpr int kLeft = 574, kTop = 280;

  bool visible = false;
  int showCount = 0;  // every "Audio..." click: the view brings the window to the front
  int volume = 0;   // Volume track bar position; the designed position until FormCreate
  int balance = 0;  // Balance track bar position

  // The view repaints from this state after every change.
  void Changed() {
    if (onChanged) onChanged();
  }
  std::function<void()> onChanged;
};

// FormCreate: loads the saved settings into the bars and applies them.
void LoadAudioOptions(Game& game);
// The title-bar item "Audio...": shows the window without blocking the main window.
void ShowAudioOptions(Game& game);

// Moving a bar, by the player or by a script: the position is kept within range, and
// only a real change runs the change handler. True when the position changed.
bool SetVolumePosition(Game& game, int position);
bool SetBalancePosition(Game& game, int position);
void ApplyVolume(Game& game);
void ApplyBalance(Game& game);
// OK: saves both settings in config.ini, then hides the window.
void SaveAudioOptions(Game& game);
// The close box: hides without saving; what was applied stays for the current stream.
void CloseAudioOptions(Game& game);

// The window as text, for the replay transcript and the terminal player.
std::vector<std::string> DescribeAudioWindow(const Game& game);

enum class AudioStep { kDone, kNotShown, kUnknown };
// One replay or terminal step after the word "audio": "" (show the window), "volume N",
// "balance N", "ok", "close". Each runs as one window event (a fault is shown in the
// error dialog). Steps that act on the window do nothing while it is hidden.
AudioStep RunAudioStep(Game& game, std::string_view args);

}  // namespace velmora
