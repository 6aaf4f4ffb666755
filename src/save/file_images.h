#pragma once
// The game files a run writes (the story file, where $action.SetState keeps choices'
// states; config.ini; Scripts\inventory.sav), held as immutable byte buffers that
// snapshots share: one buffer per distinct content, however many snapshots hold it.
//
// A file is read again only when its identity on disk (device, inode, size, modification
// time) differs from the last look, so taking a snapshot of an unchanged 10 MB story file
// costs one stat; or while its timestamp is too recent to tell: a rewrite of the same size
// within the file system's timestamp granularity keeps the identity.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora {

class Game;

enum class GameFileRole : uint8_t { kStory = 0, kConfig = 1, kInventoryState = 2 };
constexpr int kGameFileRoles = 3;

struct FileImage {
  GameFileRole role = GameFileRole::kStory;
  bool present = false;                       // false: no file there
  std::shared_ptr<const std::string> bytes;   // set when present
};

class FileImages {
 public:
  explicit FileImages(Game& game) : game_(game) {}

  // The files of the game as they are now, one image per role that the game has.
  std::vector<FileImage> CaptureAll();
  FileImage Capture(GameFileRole role);
  // Puts a file back as the image says, when it differs: replaced atomically, or removed
  // when the image has no file. A write that fails raises RuntimeFault.
  void Restore(const FileImage& image);

  // A buffer for these bytes, shared with every image of equal content still alive.
  std::shared_ptr<const std::string> Intern(std::string bytes);

  // The path of a role's file on this system; empty when the game has none (a story
  // file that start-up did not open).
  std::string PathOf(GameFileRole role) const;

 private:
  struct Identity {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t mtimeNs = 0;
    bool present = false;
    bool operator==(const Identity&) const = default;
  };
  Identity IdentityOf(const std::string& path);
  void Remember(GameFileRole role, const Identity& id, int64_t readAtNs, const FileImage& image);

  Game& game_;
  struct Seen {
    bool valid = false;
    Identity id;
    int64_t readAtNs = 0;  // FileTimeNowNs just before the image was read or written
    FileImage image;
  };
  Seen seen_[kGameFileRoles];
  std::unordered_multimap<size_t, std::weak_ptr<const std::string>> interned_;
};

}  // namespace velmora
