#include "save/file_images.h"

#include "base/fault.h"
#include "base/game.h"
#include "base/ini_document.h"

namespace velmora {

namespace {

constexpr const char* kInventoryStateFile = "Scripts\\inventory.sav";

}  // namespace

FileImages::Identity FileImages::IdentityOf(const std::string& path) {
  Identity id;
  if (path.empty()) return id;
  const FileIdentity file = game_.files().Identity(path);
  if (!file.regular) return id;
  id.present = true;
  id.device = file.device;
  id.inode = file.inode;
  id.size = file.size;
  id.mtimeNs = file.mtimeNs;
  return id;
}

std::string FileImages::PathOf(GameFileRole role) const {
  switch (role) {
    case GameFileRole::kStory:
      return game_.story ? game_.story->Path() : std::string();
    case GameFileRole::kConfig:
      return game_.config ? game_.config->Path() : std::string();
    case GameFileRole::kInventoryState:
      return game_.files().Resolve(game_.gameFolder() + kInventoryStateFile);
  }
  return {};
}

std::shared_ptr<const std::string> FileImages::Intern(std::string bytes) {
  const size_t hash = std::hash<std::string_view>{}(bytes);
  auto [first, last] = interned_.equal_range(hash);
  for (auto it = first; it != last;) {
    auto alive = it->second.lock();
    if (!alive) {
      it = interned_.erase(it);
      continue;
    }
    if (*alive == bytes) return alive;
    ++it;
  }
  auto buffer = std::make_shared<const std::string>(std::move(bytes));
  interned_.emplace(hash, buffer);
  return buffer;
}

void FileImages::Remember(GameFileRole role, const Identity& id, int64_t readAtNs, const FileImage& image) {
  Seen& seen = seen_[static_cast<int>(role)];
  seen.valid = true;
  seen.id = id;
  seen.readAtNs = readAtNs;
  seen.image = image;
}

FileImage FileImages::Capture(GameFileRole role) {
  const std::string path = PathOf(role);
  const Identity id = IdentityOf(path);
  Seen& seen = seen_[static_cast<int>(role)];
  if (seen.valid && seen.id == id && !(id.present && MayChangeUnseen(id.mtimeNs, seen.readAtNs))) return seen.image;
  const int64_t readAtNs = game_.files().FileTimeNowNs();
  FileImage image;
  image.role = role;
  if (id.present) {
    FileRead read = game_.files().Read(path, IniDocument::kMaxFileSize);
    if (read.ok()) {
      image.present = true;
      image.bytes = Intern(std::move(read.bytes));
    }
  }
  Remember(role, id, readAtNs, image);
  return image;
}

std::vector<FileImage> FileImages::CaptureAll() {
  std::vector<FileImage> images;
  for (int r = 0; r < kGameFileRoles; ++r) {
    const auto role = static_cast<GameFileRole>(r);
    if (!PathOf(role).empty()) images.push_back(Capture(role));
  }
  return images;
}

void FileImages::Restore(const FileImage& image) {
  const std::string path = PathOf(image.role);
  if (path.empty()) return;
  const FileImage now = Capture(image.role);
  if (now.present == image.present && (!image.present || now.bytes == image.bytes || *now.bytes == *image.bytes))
    return;
  const int64_t writtenAtNs = game_.files().FileTimeNowNs();
  if (image.present) {
    // The documents the run keeps open are written through, so their caches stay true.
    IniDocument* open = image.role == GameFileRole::kStory    ? game_.story.get()
                        : image.role == GameFileRole::kConfig ? game_.config.get()
                                                              : nullptr;
    if (open) {
      open->ReplaceContent(image.bytes);
    } else {
      IniDocument(game_.files(), path).ReplaceContent(image.bytes);
    }
  } else if (!game_.files().Remove(path)) {
    throw RuntimeFault("Unable to write to " + path);
  }
  Remember(image.role, IdentityOf(path), writtenAtNs, image);
}

}  // namespace velmora
