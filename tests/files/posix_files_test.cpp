// The file seam on disk: what a bounded read gives for each kind of path, what a listing
// says of each kind of entry, and the log's write in place.
#include "platform/files/posix_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>

#include "support/test_game.h"

namespace velmora {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;
using Status = FileRead::Status;

TEST(PosixFilesRead, EachKindOfPathWithItsError) {
  TempDir dir;
  PosixFiles files;
  const std::string root = dir.path().string() + "/";
  dir.Write("ten.txt", "0123456789");
  dir.Write("empty.txt", "");
  fs::create_directory(dir.path() / "folder");
  ASSERT_EQ(::mkfifo((root + "fifo").c_str(), 0600), 0);  // opening it must not wait for a writer
  fs::create_symlink(root + "ten.txt", root + "link");
  struct Case {
    const char* path;
    size_t bound;
    Status status;
    int error;
    const char* bytes;
  };
  const Case cases[] = {
      {"ten.txt", 10, Status::kRead, 0, "0123456789"},  // exactly at the bound
      {"ten.txt", 9, Status::kTooLarge, EFBIG, ""},
      {"empty.txt", 0, Status::kRead, 0, ""},
      {"link", 100, Status::kRead, 0, "0123456789"},
      {"none.txt", 100, Status::kNotFound, ENOENT, ""},
      {"ten.txt/below", 100, Status::kNotFound, ENOTDIR, ""},
      {"folder", 100, Status::kNotRegular, EISDIR, ""},
      {"fifo", 100, Status::kNotRegular, EINVAL, ""},
      {"/dev/zero", 100, Status::kNotRegular, EINVAL, ""},
  };
  for (const Case& c : cases) {
    const std::string path = c.path[0] == '/' ? c.path : root + c.path;
    const FileRead read = files.Read(path, c.bound);
    EXPECT_EQ(read.status, c.status) << c.path;
    EXPECT_EQ(read.error, c.error) << c.path;
    EXPECT_EQ(read.bytes, c.bytes) << c.path;
    EXPECT_EQ(read.identity.exists, read.ok()) << c.path;
  }
  EXPECT_EQ(files.Read(root + "ten.txt", 100).identity, files.Identity(root + "link"));
}

TEST(PosixFilesRead, UnreadableFileIsASystemError) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempDir dir;
  PosixFiles files;
  const std::string path = dir.Write("secret.txt", "x");
  fs::permissions(path, fs::perms::none);
  const FileRead read = files.Read(path, 100);
  EXPECT_EQ(read.status, Status::kSystemError);
  EXPECT_EQ(read.error, EACCES);
  EXPECT_EQ(files.ReadableError(path), EACCES);
}

TEST(PosixFilesList, EntriesWithTheKindTheirNamesLeadTo) {
  TempDir dir;
  PosixFiles files;
  const std::string root = dir.path().string() + "/";
  dir.Write("a.txt", "");
  fs::create_directory(dir.path() / "sub");
  fs::create_symlink(root + "sub", root + "to-sub");
  fs::create_symlink(root + "nowhere", root + "dangling");
  ASSERT_EQ(::mkfifo((root + "fifo").c_str(), 0600), 0);
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(files.List(dir.path().string(), entries));
  std::map<std::string, FileKind> kinds;
  for (const FolderEntry& e : entries) kinds[e.name] = e.kind;
  const std::map<std::string, FileKind> expected = {{"a.txt", FileKind::kFile},    {"sub", FileKind::kFolder},
                                                    {"to-sub", FileKind::kFolder}, {"dangling", FileKind::kOther},
                                                    {"fifo", FileKind::kOther}};
  EXPECT_EQ(kinds, expected);
  EXPECT_TRUE(files.Exists(root + "dangling"));  // the name is taken
  EXPECT_FALSE(files.Identity(root + "dangling").exists);
  EXPECT_FALSE(files.List(root + "none", entries));
}

TEST(PosixFilesWrite, OverwriteTruncatesInPlaceAndReplaceMakesANewFile) {
  TempDir dir;
  PosixFiles files;
  const std::string path = dir.Write("log.txt", "a much longer old text");
  const uint64_t inode = files.Identity(path).inode;
  ASSERT_TRUE(files.Overwrite(path, "new"));
  EXPECT_EQ(dir.Read("log.txt"), "new");
  EXPECT_EQ(files.Identity(path).inode, inode);
  ASSERT_TRUE(files.Replace(path, "replaced"));
  EXPECT_EQ(dir.Read("log.txt"), "replaced");
  EXPECT_NE(files.Identity(path).inode, inode);
  EXPECT_FALSE(files.Overwrite(dir.path().string() + "/no/log.txt", "x"));
  EXPECT_FALSE(files.Replace(dir.path().string(), "x"));  // a folder is never replaced
  EXPECT_EQ(fs::directory_iterator(dir.path())->path().filename(), "log.txt");  // no temporary file left
}

TEST(PosixFilesWrite, RemoveTakesAFileAwayButNeverAFolder) {
  TempDir dir;
  PosixFiles files;
  const std::string path = dir.Write("Scripts/inventory.sav", "[Inventory]");
  EXPECT_TRUE(files.Remove(path));
  EXPECT_FALSE(files.Exists(path));
  EXPECT_TRUE(files.Remove(path)) << "nothing there is what was asked";
  EXPECT_FALSE(files.Remove((dir.path() / "Scripts").string()));
  EXPECT_TRUE(fs::is_directory(dir.path() / "Scripts"));
}

}  // namespace
}  // namespace velmora
