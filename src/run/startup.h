#pragma once
// Start-up (the main window's creation) and shutdown (its destruction).

namespace velmora {

class Game;

enum class StartupResult {
  kCompleted,    // the window shows the start page
  kStopped,      // config.ini, story file or tracklist missing: end without a window
  kAudioFailed,  // wrong or failing audio library: end at once, no log
};

StartupResult StartGame(Game& game);
// Creation of the audio options and inventory windows, after the main window.
void CreateToolWindows(Game& game);
void ShutDownGame(Game& game);

}  // namespace velmora
