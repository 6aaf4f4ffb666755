// Playing a game from the user's own copy: when the copy is made, what goes into it, and
// that the source folder stays as it was.
#include "library/game_copy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

}  // namespace
}  // namespace velmora
