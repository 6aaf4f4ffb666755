#pragma once
// Start-up (the main window's creation) and shutdown (its destruction).

namespace velmora {

class Game;

enum class StartupResult {
  kCompleted,    // the window shows the start page
  kStopped,      // config.ini, story file or tracklist missing: end without a window
  kAudioFailed,  // wrong or failing audio library: end at once, no log
};

StartupResult FormCreate(Game& game);
// Creation of the audio options and inventory windows, after the main window.
void CreateOtherForms(Game& game);
void FormDestroy(Game& game);

}  // namespace velmora
