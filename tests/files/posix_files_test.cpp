// The file seam on disk: what a bounded read gives for each kind of path, what a listing
// says of each kind of entry, and the log's write in place.
#include "platform/files/posix_files.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
      // A file longer than fstat says (it says 0): read on past it, up to the bound.
      {"/proc/sys/kernel/ostype", 100, Status::kRead, 0, "Linux\n"},
      {"/proc/sys/kernel/ostype", 6, Status::kRead, 0, "Linux\n"},
      {"/proc/sys/kernel/ostype", 5, Status::kTooLarge, EFBIG, ""},
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

// A game folder from a stranger may hold links that lead outside; once its areas are
// allowed, no write lands anywhere else, and none goes through a link.
TEST(PosixFilesWrite, WritesStayInTheAllowedFoldersAndNeverFollowALink) {
  TempDir game, outside;
  const std::string target = outside.Write("notes.ini", "[a]\nk=outside\n");
  fs::create_directories(outside.path() / "folder");
  fs::create_symlink(target, game.path() / "config.ini");
  fs::create_symlink(outside.path() / "folder", game.path() / "Scripts");
  fs::create_directories(game.path() / "sub");
  ::link(target.c_str(), (game.path() / "LastStart.log").c_str());  // a second name for the outside file
  PosixFiles files;
  files.AllowWrites(game.path().string() + "/", true);
  const std::string g = game.path().string();
  EXPECT_FALSE(files.Replace(g + "/../notes.ini", "x"));           // outside by ".."
  EXPECT_FALSE(files.Replace(g + "/Scripts/inventory.sav", "x"));  // a linked folder leads outside
  EXPECT_FALSE(files.Remove(g + "/Scripts/inventory.sav"));
  EXPECT_FALSE(files.Replace(outside.path().string() + "/new.ini", "x"));
  EXPECT_TRUE(files.Replace(g + "/sub/story.qst", "x"));  // below the game folder
  ASSERT_TRUE(files.Replace(g + "/config.ini", "[a]\nk=inside\n"));
  EXPECT_FALSE(fs::is_symlink(game.path() / "config.ini"));  // a file of its own now
  ASSERT_TRUE(files.Overwrite(g + "/LastStart.log", "log"));
  EXPECT_EQ(game.Read("LastStart.log"), "log");
  EXPECT_EQ(outside.Read("notes.ini"), "[a]\nk=outside\n");
  EXPECT_TRUE(fs::is_empty(outside.path() / "folder"));
}

// The folder the player was started from may be the user's home: the log's one name may be
// written there, no other (not a dotfile a game names as its story file).
TEST(PosixFilesWrite, OneAllowedNameAllowsNoOtherInItsFolder) {
  TempDir home;
  const std::string h = home.path().string();
  const std::string dotfile = home.Write(".gitconfig", "[user]\n");
  PosixFiles files;
  files.AllowWriteOf(h + "/LastStart.log");
  EXPECT_FALSE(files.Replace(dotfile, "x"));
  EXPECT_FALSE(files.Overwrite(h + "/other.log", "x"));
  EXPECT_FALSE(files.Remove(dotfile));
  EXPECT_FALSE(files.Replace(h + "/sub/LastStart.log", "x"));
  EXPECT_TRUE(files.Overwrite(h + "/LastStart.log", "log"));
  EXPECT_EQ(home.Read(".gitconfig"), "[user]\n");
  EXPECT_FALSE(fs::exists(home.path() / "other.log"));
}

// A crash between the temporary file's sync and its rename leaves the temporary file: the
// next start-up removes those of processes that are gone, and no other file.
TEST(PosixFilesWrite, StaleTemporaryFilesAreRemoved) {
  TempDir game;
  const std::string g = game.path().string();
  game.Write("config.ini.tmp999999999-3", "stale");  // no such process
  const std::string live = "story.qst.tmp" + std::to_string(::getppid()) + "-1";
  game.Write(live, "another player's write in progress");
  for (const char* keep : {"notes.tmp-1", "x.tmp12a-1", "config.ini"}) game.Write(keep, "keep");
  PosixFiles files;
  files.AllowWrites(g, true);
  files.RemoveStaleTemporaries(g);
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(game.path())) left.push_back(e.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"config.ini", "notes.tmp-1", live, "x.tmp12a-1"}));
}

// Records the seam's system calls as "call what", the descriptors named by what they opened
// ("temporary", "folder", "file"), and lets them through.
struct RecordedCalls {
  std::vector<std::string> calls;
  std::map<int, std::string> opened;
  void Attach(PosixFiles& files) {
    const FileSystemCalls real;
    files.calls.open = [this, real](const char* path, int flags, mode_t mode) {
      const int fd = real.open(path, flags, mode);
      const std::string what = std::string(path).find(".tmp") != std::string::npos ? "temporary"
                               : (flags & O_DIRECTORY) != 0                          ? "folder"
                                                                                      : "file";
      if (fd >= 0) opened[fd] = what;
      std::string f = (flags & O_CREAT) ? " create" : "";
      if (flags & O_EXCL) f += " exclusive";
      if (flags & O_NOFOLLOW) f += " nofollow";
      if (flags & O_NONBLOCK) f += " nonblock";
      calls.push_back("open " + what + f);
      return fd;
    };
    files.calls.write = [this, real](int fd, const void* bytes, size_t n) {
      calls.push_back("write " + opened[fd]);
      return real.write(fd, bytes, n);
    };
    files.calls.ftruncate = [this, real](int fd, off_t n) {
      calls.push_back("truncate " + opened[fd]);
      return real.ftruncate(fd, n);
    };
    files.calls.fsync = [this, real](int fd) {
      calls.push_back("fsync " + opened[fd]);
      return real.fsync(fd);
    };
    files.calls.rename = [this, real](const char* from, const char* to) {
      calls.push_back(std::string("rename ") + (std::string(from).find(".tmp") != std::string::npos ? "temporary" : from));
      return real.rename(from, to);
    };
    files.calls.unlink = [this, real](const char* path) {
      calls.push_back("unlink");
      return real.unlink(path);
    };
  }
};

// The replaced file lasts only when the temporary file is on disk before the rename and
// the folder after it; the temporary file is made new, never through a link.
TEST(PosixFilesWrite, ReplaceSyncsTheFileBeforeTheRenameAndTheFolderAfter) {
  TempDir game;
  const std::string path = game.Write("config.ini", "old");
  PosixFiles files;
  RecordedCalls recorded;
  recorded.Attach(files);
  ASSERT_TRUE(files.Replace(path, "new"));
  EXPECT_EQ(recorded.calls, (std::vector<std::string>{"open temporary create exclusive nofollow", "write temporary",
                                                      "fsync temporary", "rename temporary", "open folder",
                                                      "fsync folder"}));
  EXPECT_EQ(game.Read("config.ini"), "new");
}

// A failed sync is a failed write: the old file stays and the temporary file goes.
TEST(PosixFilesWrite, AFailedSyncLeavesTheOldFile) {
  TempDir game;
  const std::string path = game.Write("config.ini", "old");
  PosixFiles files;
  files.calls.fsync = [](int) {
    errno = EIO;
    return -1;
  };
  EXPECT_FALSE(files.Replace(path, "new"));
  EXPECT_EQ(game.Read("config.ini"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(game.path()), fs::directory_iterator()), 1);
}

// A read never waits for a FIFO's writer, and the log never writes through a link.
TEST(PosixFilesWrite, ReadsOpenWithoutWaitingAndTheLogWithoutFollowing) {
  TempDir game;
  const std::string path = game.Write("LastStart.log", "old");
  PosixFiles files;
  RecordedCalls recorded;
  recorded.Attach(files);
  (void)files.Read(path, 100);
  ASSERT_TRUE(files.Overwrite(path, "log"));
  EXPECT_EQ(recorded.calls,
            (std::vector<std::string>{"open file nonblock", "open file create nofollow", "write file"}));
}

// A folder where no new file may be made, whose file may be written: written in place.
TEST(PosixFilesWrite, AReadOnlyFolderWithAWritableFileIsWrittenInPlace) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may make files in any folder";
  TempDir game;
  const std::string path = game.Write("save/config.ini", "a much longer old text");
  ::chmod((game.path() / "save").c_str(), 0555);
  PosixFiles files;
  RecordedCalls recorded;
  recorded.Attach(files);
  EXPECT_TRUE(files.Replace(path, "new"));
  ::chmod((game.path() / "save").c_str(), 0755);
  EXPECT_EQ(game.Read("save/config.ini"), "new");
  EXPECT_EQ(recorded.calls, (std::vector<std::string>{"open temporary create exclusive nofollow", "open file nofollow",
                                                      "write file", "truncate file", "fsync file"}));
}

}  // namespace
}  // namespace velmora
