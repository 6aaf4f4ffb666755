#pragma once
// A folder opened to play ("Open with" in a file manager, --game) that holds no game: the
// player says so in a window, where a desktop user looks, and writes nothing anywhere.
#include <QString>
#include <string>

#include "library/game_library.h"

namespace velmora {

class GameFiles;

// What the window says, in the player's language.
QString NotAGameText(const QString& folder, const GameFolderInfo& info);

// Shows the window (with an application of its own when there is none yet) until the
// player closes it.
void ShowNotAGame(int& argc, char** argv, GameFiles& files, const std::string& folder, const GameFolderInfo& info);

}  // namespace velmora
