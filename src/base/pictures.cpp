#include "base/pictures.h"

#include <array>

#include "base/fault.h"
#include "base/game.h"
#include "base/paths.h"
#include "base/text.h"

namespace velmora {

namespace {

constexpr std::array<std::string_view, 7> kPictureExtensions = {"jpg", "jpeg", "png", "bmp", "ico", "wmf", "emf"};

}  // namespace

std::string PictureExtension(std::string_view path) {
  const size_t dot = path.find_last_of(".\\/");
  if (dot == std::string_view::npos || path[dot] != '.') return {};
  return std::string(path.substr(dot + 1));
}

bool IsPictureExtension(std::string_view extension) {
  const std::string lower = AsciiLower(extension);
  for (std::string_view known : kPictureExtensions)
    if (lower == known) return true;
  return false;
}

std::shared_ptr<const Picture> LoadPicture(Game& game, const std::string& path, const PictureBox& box) {
  // The extension is judged before the file is looked at, so an unknown kind of file is
  // reported as such even when it is missing too.
  const std::string extension = PictureExtension(path);
  if (!IsPictureExtension(extension)) throw RuntimeFault("Unknown picture file extension (." + extension + ")");
  // In full, so that the decoder's messages name the file as ours do.
  const std::string resolved = game.files().FullPath(game.files().Resolve(path));
  if (const int error = game.files().ReadableError(resolved)) throw RuntimeFault(CannotOpenMessage(resolved, error));
  game.work.Charge(WorkMeter::kLoadCost + static_cast<int64_t>(game.files().Identity(resolved).size));
  if (!game.platform.pictures) return std::make_shared<Picture>();
  return game.platform.pictures->Decode(resolved, AsciiLower(extension), box);
}

}  // namespace velmora
