#pragma once
// Messages about paths. Resolving game paths belongs to the file seam (GameFiles in
// base/platform.h), whose rules live in paths.cpp.
#include <cstdint>
#include <string>

namespace velmora {

class GameFiles;

// "Cannot open file "<full path>". <reason>" for a system error number; the path as
// GameFiles::FullPath gives it.
std::string CannotOpenMessage(const std::string& fullPath, int error);

// Why a file the game needs to start (config.ini, the story file, the tracklist) cannot
// serve: empty when it can; "is outside the game folder" when its name leads out of the
// folder (a game must never read or write, say, the player's own dotfiles); "is too
// large" past maxBytes, which would otherwise read as an empty file.
std::string GameFileProblem(GameFiles& files, const std::string& gameFolder, const std::string& path,
                            uint64_t maxBytes);

}  // namespace velmora
