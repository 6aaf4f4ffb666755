#pragma once
// The one picture loader: chooses the decoder by the file name's extension.
#include <memory>
#include <string>
#include <string_view>

#include "base/platform.h"

namespace velmora {

class Game;

// Loads a picture file (path as formed from game data; resolved here). An extension of no
// known format raises "Unknown picture file extension (.%s)"; a missing or unreadable file
// raises "Cannot open file "<full path>". <reason>"; a damaged file raises the decoder's
// error. All are run-time faults. Without a decoder (headless runs) the checks still
// apply and the picture is empty. The picture comes at the size it takes in box.
std::shared_ptr<const Picture> LoadPicture(Game& game, const std::string& path, const PictureBox& box);

// The extension as written, without its dot; empty when the last name has none.
std::string PictureExtension(std::string_view path);
// One of jpg, jpeg, png, bmp, ico, wmf, emf in any letter case.
bool IsPictureExtension(std::string_view extension);

}  // namespace velmora
