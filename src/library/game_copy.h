#pragma once
// Games are played from a folder the player may write to: the player writes its settings,
// the page to resume at and the inventory into the game folder, as games expect. A game
// folder that is not writable (installed system-wide, on a read-only medium) or that the
// caller wants kept as it is (a source checkout's examples) is played from the user's own
// copy, made on first play under the data folder: games/<name>-<hash of the source path>/.
#include <cstdint>
#include <functional>
#include <string>

#include "base/platform.h"

namespace velmora {

// The player may write the folder and the files it writes into at once (config.ini and
// the story file it names).
bool GameFolderWritable(GameFiles& files, const std::string& folder);

// Where the copy of a game folder lives; the same source path always gives the same
// copy, and two folders of one name do not share one.
std::string GameCopyFolder(const std::string& sourceFolder);

// Bytes copied so far and in all; called before the first file and after every file.
using CopyProgress = std::function<void(uint64_t done, uint64_t total)>;

struct PlayFolder {
  std::string folder;   // where to play, ending with a separator
  bool copy = false;    // a copy of the source folder
  bool madeNow = false; // the copy was made by this call (the first play)
  std::string error;    // set when the copy could not be made; folder is empty then
};

// A copy is bounded like what the player reads from a game folder: a folder past these is
// refused with a line that says so, never half copied (a file counts by its length, so a
// small folder holding a sparse file of gigabytes cannot fill the disk).
constexpr uint64_t kMaxCopyBytes = uint64_t{2} << 30;
constexpr uint64_t kMaxCopyEntries = 100000;
constexpr int kMaxCopyDepth = 64;

// The folder to play the game in. With a copy, a copy that exists is played as it is (it
// holds the player's progress); otherwise the source's regular files and folders are
// copied (links are not followed, so nothing outside the source is copied), into a
// folder of a temporary name that is renamed when complete, so a broken-off copy is
// never taken for a finished one. Each entry is opened below its opened folder without
// following links and must be the file listed; partial copies of processes that no longer
// run are removed first, and SIGTERM, SIGHUP or SIGINT during the copy end it, removing
// what it made.
PlayFolder PrepareGameFolder(GameFiles& files, const std::string& sourceFolder, bool wantCopy,
                             const CopyProgress& progress = {});

}  // namespace velmora
