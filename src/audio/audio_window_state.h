#pragma once
// What the audio options window (AudioWindow) shows and holds, without any widget: two track
// bars that keep their positions within range and report only real changes, and the
// operations that apply them to the current music stream and save them.
#include <functional>
#include <string>
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
  int volume = 0;   // Volume track bar position; the designed position until start-up
  int balance = 0;  // Balance track bar position

  // Start-up (FormCreate): loads the saved settings into the bars and applies them.
  void LoadSettings(Game& game);

  // Moving a bar, by the player or by a script: the position is kept within range, and
  // only a real change applies it to the current music stream. True when it changed.
  bool SetVolume(Game& game, int position);
  bool SetBalance(Game& game, int position);

  // What the player does, each as one window event (a fault is shown in the error
  // dialog). Everything but opening does nothing while the window is hidden.
  void Open(Game& game);  // the title-bar item "Audio...": shown without blocking the main window
  void MoveVolume(Game& game, int position);
  void MoveBalance(Game& game, int position);
  void PressOk(Game& game);  // saves both settings in config.ini, then hides the window
  // The close box: hides without saving; what was applied stays for the current stream.
  void Close();

  // The view repaints from this state after every change.
  void Changed() {
    if (onChanged) onChanged();
  }
  std::function<void()> onChanged;
};

// The window as text, for the replay transcript and the terminal player.
std::vector<std::string> DescribeAudioWindow(const Game& game);

}  // namespace velmora
