// Playing a game from the user's own copy: when the copy is made, what goes into it, and
// that the source folder stays as it was.
#include "library/game_copy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <thread>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "library/library_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::UserFoldersTest;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class GameCopyTest : public UserFoldersTest {
 protected:
  ~GameCopyTest() override {
    // Let the temporary folders be removed.
    for (const auto& e : fs::recursive_directory_iterator(games.path()))
      if (!fs::is_symlink(e.symlink_status())) fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add);
  }
  static void ReadOnly(const std::string& path) { chmod(path.c_str(), fs::is_directory(path) ? 0555 : 0444); }
};

TEST_F(GameCopyTest, AWritableFolderIsPlayedInPlaceUnlessACopyIsAskedFor) {
  const std::string game = MakeGame("tale");
  const PlayFolder inPlace = PrepareGameFolder(files, game, false);
  EXPECT_EQ(inPlace.folder, game + "/");
  EXPECT_FALSE(inPlace.copy);
  EXPECT_FALSE(fs::exists(home.path() / "data"));

  const PlayFolder copied = PrepareGameFolder(files, game, true);
  EXPECT_TRUE(copied.copy);
  EXPECT_TRUE(copied.madeNow);
  EXPECT_EQ(copied.folder, GameCopyFolder(game));
  EXPECT_EQ(fs::path(copied.folder).parent_path().parent_path(), home.path() / "data/velmora-player/games");
  EXPECT_EQ(fs::path(copied.folder).parent_path().filename().string().substr(0, 5), "tale-");
}

TEST_F(GameCopyTest, ANotWritableFolderIsCopiedOnceAndTheCopyKeepsTheProgress) {
  const std::string game = MakeGame("tale");
  games.Write("tale/Music/big.ogg", std::string(100000, 'x'));
  const struct {
    const char* file;  // made read-only; the whole folder counts as not writable
  } cases[] = {{"tale/config.ini"}, {"tale/tale.qst"}, {"tale"}};
  for (const auto& c : cases) {
    const std::string path = (games.path() / c.file).string();
    ReadOnly(path);
    EXPECT_FALSE(GameFolderWritable(files, game)) << c.file;
    chmod(path.c_str(), fs::is_directory(path) ? 0755 : 0644);
  }
  EXPECT_TRUE(GameFolderWritable(files, game));

  ReadOnly(game + "/config.ini");
  ReadOnly(game);
  std::vector<std::pair<uint64_t, uint64_t>> progress;
  const PlayFolder first = PrepareGameFolder(files, game, false, [&](uint64_t done, uint64_t total) {
    progress.emplace_back(done, total);
  });
  ASSERT_TRUE(first.error.empty()) << first.error;
  EXPECT_TRUE(first.copy);
  EXPECT_TRUE(first.madeNow);
  const uint64_t total = 100000 + fs::file_size(game + "/config.ini") + fs::file_size(game + "/tale.qst") +
                         fs::file_size(game + "/Images/title.jpg");
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(progress.front(), std::make_pair(uint64_t{0}, total));
  EXPECT_EQ(progress.back(), std::make_pair(total, total));
  EXPECT_EQ(ReadAll(first.folder + "Music/big.ogg").size(), 100000u);
  // The copy is the player's to write, whatever the source's modes were.
  EXPECT_TRUE(GameFolderWritable(files, first.folder));

  WriteAll(first.folder + "config.ini", "[GameLoad]\r\nPage=later\r\n");
  const PlayFolder second = PrepareGameFolder(files, game, false, [&](uint64_t, uint64_t) { ADD_FAILURE() << "copied again"; });
  EXPECT_EQ(second.folder, first.folder);
  EXPECT_FALSE(second.madeNow);
  EXPECT_EQ(ReadAll(second.folder + "config.ini"), "[GameLoad]\r\nPage=later\r\n");
}

TEST_F(GameCopyTest, LinksAreNotFollowedOutOfTheFolder) {
  const std::string game = MakeGame("tale");
  games.Write("secret/key.txt", "private");
  fs::create_symlink(games.path() / "secret/key.txt", game + "/Images/linked.jpg");
  fs::create_directory_symlink(games.path() / "secret", game + "/Music");
  const PlayFolder copy = PrepareGameFolder(files, game, true);
  ASSERT_TRUE(copy.error.empty()) << copy.error;
  EXPECT_TRUE(fs::exists(copy.folder + "Images/title.jpg"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(copy.folder + "Images/linked.jpg")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(copy.folder + "Music")));
}

TEST_F(GameCopyTest, FoldersOfOneNameGetCopiesOfTheirOwn) {
  const std::string a = MakeGame("a/tale"), b = MakeGame("b/tale");
  EXPECT_NE(GameCopyFolder(a), GameCopyFolder(b));
  EXPECT_EQ(GameCopyFolder(a), GameCopyFolder(a + "/"));
}

TEST_F(GameCopyTest, ACopyThatCannotBeMadeSaysWhyAndLeavesNothingBehind) {
  const std::string game = MakeGame("tale");
  home.Write("data", "a file where the data folder should be");
  const PlayFolder copy = PrepareGameFolder(files, game, true);
  EXPECT_TRUE(copy.folder.empty());
  EXPECT_NE(copy.error.find("cannot copy " + game + "/ to "), std::string::npos) << copy.error;
  EXPECT_TRUE(fs::is_regular_file(home.path() / "data"));
}

// Swapping listed files for links to a secret (or back) while copying: the copy either
// holds the game's own bytes or is refused, never the secret.
TEST_F(GameCopyTest, FilesSwappedForLinksDuringTheCopyAreNeverFollowed) {
  const std::string game = MakeGame("tale");
  const std::string secret = games.Write("secret.txt", "private");
  for (int i = 0; i < 50; ++i) games.Write("tale/Images/f" + std::to_string(i), std::string(20000, 'p'));
  std::atomic<bool> stop{false};
  std::thread swapper([&] {
    for (unsigned n = 0; !stop; ++n) {
      const std::string name = game + "/Images/f" + std::to_string(n % 50);
      std::error_code ec;
      fs::rename(name, name + ".away", ec);
      fs::create_symlink(secret, name + ".link", ec);
      fs::rename(name + ".link", name, ec);
      fs::remove(name, ec);
      fs::rename(name + ".away", name, ec);
    }
  });
  int refused = 0;
  for (int round = 0; round < 20; ++round) {
    const PlayFolder copy = PrepareGameFolder(files, game, true);
    if (!copy.error.empty()) {
      EXPECT_NE(copy.error.find("changed while it was copied"), std::string::npos) << copy.error; break;
      ++refused;
      continue;
    }
    for (const auto& e : fs::recursive_directory_iterator(copy.folder)) {
      EXPECT_FALSE(fs::is_symlink(e.symlink_status())) << e.path();
      if (e.is_regular_file()) EXPECT_EQ(ReadAll(e.path().string()).find("private"), std::string::npos) << e.path();
    }
    fs::remove_all(copy.folder);
  }
  stop = true;
  swapper.join();
  RecordProperty("refused", refused);
  EXPECT_EQ(ReadAll(secret), "private");
}

// A small folder with a sparse file of gigabytes would write them all; a copy of a folder
// past the bound is refused and leaves nothing.
TEST_F(GameCopyTest, AFolderPastTheBoundCountingSparseFilesByLengthIsRefused) {
  const std::string game = MakeGame("tale");
  fs::resize_file(fs::path(games.Write("tale/Music/hole.ogg", "")), kMaxCopyBytes + 1);
  const PlayFolder copy = PrepareGameFolder(files, game, true);
  EXPECT_TRUE(copy.folder.empty());
  EXPECT_NE(copy.error.find("too large to copy"), std::string::npos) << copy.error;
  const fs::path copies = fs::path(GameCopyFolder(game)).parent_path().parent_path();
  EXPECT_TRUE(!fs::exists(copies) || fs::is_empty(copies));
}

// A copy cut short by kill -9 leaves <copy>.partial-<pid>; the next copy removes those of
// processes that are gone, and keeps those of one still at work.
TEST_F(GameCopyTest, PartialCopiesOfProcessesThatAreGoneAreRemoved) {
  const std::string game = MakeGame("tale");
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const fs::path copies = fs::path(GameCopyFolder(game)).parent_path().parent_path();
  const fs::path dead = copies / ("other-1.partial-" + std::to_string(gone));
  const fs::path alive = copies / ("other-2.partial-" + std::to_string(getppid()));
  fs::create_directories(dead / "Music");
  WriteAll((dead / "Music/big.ogg").string(), "half");
  fs::create_directories(alive);
  ASSERT_TRUE(PrepareGameFolder(files, game, true).error.empty());
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(alive));
}

// SIGTERM during a copy ends it and removes what it made.
TEST_F(GameCopyTest, ASignalDuringTheCopyEndsItAndLeavesNothing) {
  const std::string game = MakeGame("tale");
  for (int i = 0; i < 10; ++i) games.Write("tale/Images/f" + std::to_string(i), "picture bytes");
  const PlayFolder copy = PrepareGameFolder(files, game, true, [&](uint64_t done, uint64_t) {
    if (done > 0) ::raise(SIGTERM);
  });
  EXPECT_TRUE(copy.folder.empty());
  EXPECT_NE(copy.error.find("stopped by a signal"), std::string::npos) << copy.error;
  const fs::path copies = fs::path(GameCopyFolder(game)).parent_path().parent_path();
  EXPECT_TRUE(fs::is_empty(copies));
}

}  // namespace
}  // namespace velmora
