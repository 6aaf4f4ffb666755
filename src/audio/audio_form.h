#pragma once
// What the audio options window (TForm2) shows and holds, without any widget.
#include <functional>

namespace velmora {

class Game;

class AudioForm {
 public:
  bool visible = false;
  int volume = 50;   // track bar 0..100
  int balance = 0;   // track bar -5..5
  void Changed() {
    if (onChanged) onChanged();
  }
  std::function<void()> onChanged;
};

void AudioFormCreate(Game& game);
void ShowAudioOptions(Game& game);

}  // namespace velmora
