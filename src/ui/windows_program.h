#pragma once
// The program with windows: the Qt application, the skin, the main window, start-up, the
// audio options and inventory windows (hidden), the event loop, and the shutdown when the
// main window closes.
#include <functional>
#include <string>

#include "base/game.h"

namespace velmora {

// `platform` brings everything but the dialogs, which are Qt's. `firstPageShown`, when
// given, is called once the main window's first page has been painted. `playsSilently`,
// when given, says after start-up whether the game goes on without sound though sound was
// wanted; the window then says so once. Returns the exit status: 1 when start-up ended the
// program, kOpenLibraryStatus (below), else 0.
// What PlayInWindows returns when the player asked for the game library and the caller
// has to open it (a game started without the library).
constexpr int kOpenLibraryStatus = 3;

// Where a play starts from and what it leaves, for the game library's "Continue".
struct WindowsPlay {
  bool resume = false;   // go on from the automatic slot once the game has started
  std::string autoSave;  // the automatic slot's file, once the close has written it
  std::string copyMadeIn;  // the user's copy of the game, when this start made it
  std::string startFailure;  // why the game did not start; empty when it did
};

int PlayInWindows(int& argc, char** argv, Platform platform, const GameOptions& options,
                  std::function<void()> firstPageShown = {}, std::function<bool()> playsSilently = {},
                  WindowsPlay* play = nullptr);

}  // namespace velmora
