#pragma once
// Live reload for authors: when the story file, the script library, messages.ini or
// inventory.inv changes on disk while a game runs, the changed file is taken up and the
// current page shown again with its new text and choices. Variables, sets, the inventory's
// counts and the music go on. A file that no longer reads as its format leaves the game as
// it was and says where.
#include <string>

namespace velmora {

class Game;

enum class WatchedFile { kNone, kStory, kScripts, kMessages, kInventory };

// Which of the game's reloadable files `path` (a path in the game folder) is.
WatchedFile ClassifyChangedFile(Game& game, const std::string& path);

struct ReloadResult {
  bool reloaded = false;
  std::string notice;  // when not reloaded: "<file>, line N: <reason>", or why not
};

// Takes up the change of `path` and shows the current page again. Writes one log line.
ReloadResult ReloadChangedFile(Game& game, const std::string& path);

// Where `text` stops reading as the format of `kind`: 0 when it reads whole, else the line
// (from 1), with the reason in `reason`.
int FindBrokenLine(WatchedFile kind, const std::string& text, std::string& reason);

}  // namespace velmora
