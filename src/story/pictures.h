#pragma once
// The one picture loader: chooses the decoder by the file name's extension.
#include <memory>
#include <string>

#include "shell/picture.h"

namespace velmora {

class Game;

// Loads a picture file (path as formed from game data; resolved here). An extension of no
// known format raises "Unknown picture file extension (.%s)"; a missing or damaged file
// raises the decoder's error. Both are run-time faults.
std::shared_ptr<const Picture> LoadPicture(Game& game, const std::string& path);

}  // namespace velmora
