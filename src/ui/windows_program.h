#pragma once
// The program with windows: the Qt application, the skin, the main window, start-up, the
// audio options and inventory windows (hidden), the event loop, and the shutdown when the
// main window closes.
#include <functional>

#include "base/game.h"

namespace velmora {

// `platform` brings everything but the dialogs, which are Qt's. `firstPageShown`, when
// given, is called once the main window's first page has been painted. Returns the exit
// status: 1 when start-up ended the program, else 0.
int PlayInWindows(int& argc, char** argv, Platform platform, const GameOptions& options,
                  std::function<void()> firstPageShown = {});

}  // namespace velmora
