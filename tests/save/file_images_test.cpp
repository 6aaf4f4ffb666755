// The game files' images must follow every write, also one that leaves the file's identity
// as it was: the same size, a whole-second timestamp (Node's file system under
// WebAssembly) and the same inode (a write in place, or an inode used again).
#include "save/file_images.h"

#include <gtest/gtest.h>

#include "base/game.h"
#include "support/test_game.h"

namespace velmora {
namespace {

// The test's folder as such a file system shows it.
class WholeSecondFiles final : public GameFiles {
 public:
  explicit WholeSecondFiles(GameFiles& inner) : inner_(inner) {}
  FileIdentity Identity(const std::string& path) override {
    FileIdentity id = inner_.Identity(path);
    id.mtimeNs -= id.mtimeNs % 1000000000;
    id.inode = id.exists ? 1 : 0;
    return id;
  }
  bool Exists(const std::string& path) override { return inner_.Exists(path); }
  int ReadableError(const std::string& path) override { return inner_.ReadableError(path); }
  FileRead Read(const std::string& path, size_t maxBytes) override { return Seen(inner_.Read(path, maxBytes)); }
  FileRead ReadHead(const std::string& path, size_t maxBytes) override { return Seen(inner_.ReadHead(path, maxBytes)); }
  bool List(const std::string& folder, std::vector<FolderEntry>& entries) override { return inner_.List(folder, entries); }
  void AllowWrites(const std::string& folder, bool below) override { inner_.AllowWrites(folder, below); }
  void AllowWriteOf(const std::string& file) override { inner_.AllowWriteOf(file); }
  bool Replace(const std::string& path, std::string_view bytes) override { return inner_.Replace(path, bytes); }
  bool Overwrite(const std::string& path, std::string_view bytes) override { return inner_.Overwrite(path, bytes); }
  void RemoveStaleTemporaries(const std::string& folder) override { inner_.RemoveStaleTemporaries(folder); }
  bool Remove(const std::string& path) override { return inner_.Remove(path); }
  std::string FullPath(const std::string& path) override { return inner_.FullPath(path); }
  int64_t FileTimeNowNs() override { return inner_.FileTimeNowNs(); }

 private:
  FileRead Seen(FileRead read) {
    read.identity.mtimeNs -= read.identity.mtimeNs % 1000000000;
    read.identity.inode = 1;
    return read;
  }
  GameFiles& inner_;
};

TEST(FileImages, ARewriteThatKeepsTheIdentityIsSeenAndPutBack) {
  testing::TestGame t;
  t.dir.Write("config.ini", "[GameForm]\nCaption=Images\n");
  WholeSecondFiles files(t.files);
  t.platform.files = &files;
  Game& game = t.Make();
  FileImages images(game);
  const std::string path = images.PathOf(GameFileRole::kConfig);
  const FileImage before = images.Capture(GameFileRole::kConfig);
  ASSERT_TRUE(before.present);
  std::string changed = *before.bytes;
  changed.back() = changed.back() == 'x' ? 'y' : 'x';
  struct Write {
    const char* how;
    bool (GameFiles::*write)(const std::string&, std::string_view);
  };
  for (const Write& w : {Write{"in place", &GameFiles::Overwrite}, Write{"by a rename", &GameFiles::Replace}}) {
    SCOPED_TRACE(w.how);
    ASSERT_TRUE((t.files.*w.write)(path, changed));
    const FileImage after = images.Capture(GameFileRole::kConfig);
    EXPECT_EQ(*after.bytes, changed) << "the write is seen";
    images.Restore(before);
    EXPECT_EQ(t.dir.Read("config.ini"), *before.bytes) << "and undone by putting the image back";
  }
}

}  // namespace
}  // namespace velmora
