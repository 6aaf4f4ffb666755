#pragma once
// The folder watch of this system: inotify on the game folder and its subfolders.
#include <memory>
#include <string>

#include "base/folder_watch.h"

namespace velmora {

// Null when the folder cannot be watched (inotify unavailable, the limit on watches reached).
std::unique_ptr<FolderWatch> WatchGameFolder(const std::string& folder);

}  // namespace velmora
