#pragma once
// The progress of copying a game that is not writable into the player's own folder,
// shown in a window while the copy takes long enough to be noticed.
#include "library/game_copy.h"

namespace velmora {

// A progress callback for PrepareGameFolder that shows a progress dialog once the copy
// has run for half a second; makes the Qt application if none exists yet.
CopyProgress WindowCopyProgress(int& argc, char** argv);

}  // namespace velmora
