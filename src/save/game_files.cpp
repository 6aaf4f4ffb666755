#include "save/game_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string_view>

#include "base/fault.h"
#include "base/game.h"
#include "base/ini_document.h"
#include "base/paths.h"

namespace velmora {

namespace {

constexpr const char* kInventoryStateFile = "Scripts\\inventory.sav";

bool ReadWhole(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  out = std::move(buffer).str();
  return true;
}

}  // namespace

GameFiles::Identity GameFiles::IdentityOf(const std::string& path) {
  struct stat st {};
  Identity id;
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return id;
  id.present = true;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.inode = static_cast<uint64_t>(st.st_ino);
  id.size = static_cast<uint64_t>(st.st_size);
  id.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

std::string GameFiles::PathOf(GameFileRole role) const {
  switch (role) {
    case GameFileRole::kStory:
      return game_.story ? game_.story->Path() : std::string();
    case GameFileRole::kConfig:
      return game_.config ? game_.config->Path() : std::string();
    case GameFileRole::kInventoryState:
      return ResolvePath(game_.gameFolder() + kInventoryStateFile);
  }
  return {};
}

std::shared_ptr<const std::string> GameFiles::Intern(std::string bytes) {
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

void GameFiles::Remember(GameFileRole role, const Identity& id, const FileImage& image) {
  Seen& seen = seen_[static_cast<int>(role)];
  seen.valid = true;
  seen.id = id;
  seen.image = image;
}

FileImage GameFiles::Capture(GameFileRole role) {
  const std::string path = PathOf(role);
  const Identity id = IdentityOf(path);
  Seen& seen = seen_[static_cast<int>(role)];
  if (seen.valid && seen.id == id) return seen.image;
  FileImage image;
  image.role = role;
  std::string bytes;
  if (id.present && ReadWhole(path, bytes)) {
    image.present = true;
    image.bytes = Intern(std::move(bytes));
  }
  Remember(role, id, image);
  return image;
}

std::vector<FileImage> GameFiles::CaptureAll() {
  std::vector<FileImage> images;
  for (int r = 0; r < kGameFileRoles; ++r) {
    const auto role = static_cast<GameFileRole>(r);
    if (!PathOf(role).empty()) images.push_back(Capture(role));
  }
  return images;
}

void GameFiles::Restore(const FileImage& image) {
  const std::string path = PathOf(image.role);
  if (path.empty()) return;
  const FileImage now = Capture(image.role);
  if (now.present == image.present && (!image.present || now.bytes == image.bytes || *now.bytes == *image.bytes))
    return;
  if (image.present) {
    // The documents the run keeps open are written through, so their caches stay true.
    IniDocument* open = image.role == GameFileRole::kStory    ? game_.story.get()
                        : image.role == GameFileRole::kConfig ? game_.config.get()
                                                              : nullptr;
    if (open) {
      open->ReplaceContent(*image.bytes);
    } else {
      IniDocument(path).ReplaceContent(*image.bytes);
    }
  } else if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
    throw RuntimeFault("Unable to write to " + path);
  }
  Remember(image.role, IdentityOf(path), image);
}

}  // namespace velmora
