// The library of games: what counts as a game folder, adding, scanning, removing and
// plays, kept in the user's config folder.
#include "library/game_library.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/fault.h"
#include "library/library_fixture.h"
#include "library/user_folders.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::UserFoldersTest;

class GameLibraryTest : public UserFoldersTest {
 protected:
  static std::vector<std::string> Folders(const GameLibrary& library) {
    std::vector<std::string> folders;
    for (const LibraryEntry& e : library.Games()) folders.push_back(e.folder);
    return folders;
  }
};

TEST_F(GameLibraryTest, TheUserFoldersFollowTheXdgVariablesAndIgnoreRelativeOnes) {
  EXPECT_EQ(UserConfigFolder(), (home.path() / "config/velmora-player/").string());
  EXPECT_EQ(UserDataFolder(), (home.path() / "data/velmora-player/").string());
  EXPECT_EQ(GameLibrary::DefaultPath(), (home.path() / "config/velmora-player/library.ini").string());
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("XDG_CONFIG_HOME", "relative/config", 1);
  setenv("XDG_DATA_HOME", "", 1);
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(UserConfigFolder(), "/home/someone/.config/velmora-player/");
  EXPECT_EQ(UserDataFolder(), "/home/someone/.local/share/velmora-player/");
  setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(GameLibraryTest, WhatCountsAsAGameFolder) {
  MakeGame("good", "Tale of \xCF\xF3\xF2\xFC");  // "Путь" in Windows-1251
  MakeGame("untitled", "", "start.png");
  games.Write("upper/CONFIG.INI", "[Files]\r\nStoryFile=Tale.QST\r\n");
  games.Write("upper/tale.qst", "[gamestart]\r\nQuestPicture=nil\r\n");
  games.Write("lostpicture/config.ini", "");
  games.Write("lostpicture/story.qst", "[gamestart]\r\nQuestPicture=gone.jpg\r\n");
  games.Write("nostory/config.ini", "[Files]\r\nStoryFile=tale.qst\r\n");
  games.Write("noconfig/story.qst", "[gamestart]\r\n");
  // The library glances at a story file's start: one of gigabytes costs no more, and a
  // start page far from the start shows no picture.
  games.Write("huge/config.ini", "");
  games.Write("huge/Images/title.jpg", "picture bytes");
  fs::resize_file(games.Write("huge/story.qst", "[GameStart]\r\nQuestPicture = \"title.jpg\"\r\n"), uintmax_t{2} << 30);
  games.Write("farstart/config.ini", "");
  games.Write("farstart/Images/title.jpg", "picture bytes");
  games.Write("farstart/story.qst", "[other]\r\n" + std::string(300000, ';') + "\r\n[gamestart]\r\nQuestPicture=title.jpg\r\n");
  const fs::path g = games.path();
  const struct {
    std::string folder;
    bool isGame;
    std::string caption, thumbnail, problem;
  } cases[] = {
      {"good", true, "Tale of Путь", (g / "good/Images/title.jpg").string(), ""},
      {"untitled", true, "untitled", (g / "untitled/Images/start.png").string(), ""},
      {"upper", true, "upper", "", ""},
      {"lostpicture", true, "lostpicture", "", ""},
      {"nostory", false, "", "", "no story file tale.qst in " + (g / "nostory").string()},
      {"noconfig", false, "", "", "no config.ini in " + (g / "noconfig").string()},
      {"absent", false, "", "", "no folder at " + (g / "absent").string()},
      {"huge", true, "huge", (g / "huge/Images/title.jpg").string(), ""},
      {"farstart", true, "farstart", "", ""},
  };
  for (const auto& c : cases) {
    const GameFolderInfo info = InspectGameFolder(files, (g / c.folder).string());
    EXPECT_EQ(info.isGame, c.isGame) << c.folder;
    EXPECT_EQ(info.captionUtf8, c.caption) << c.folder;
    EXPECT_EQ(info.thumbnail, c.thumbnail) << c.folder;
    EXPECT_EQ(info.problem, c.problem) << c.folder;
  }
}

// The glance is kept by the story file's identity: a changed file is looked at again.
TEST_F(GameLibraryTest, AChangedStoryFileIsGlancedAtAgain) {
  const std::string game = MakeGame("tale", "Tale", "title.jpg");
  games.Write("tale/Images/other.png", "picture bytes");
  EXPECT_EQ(InspectGameFolder(files, game).thumbnail, game + "/Images/title.jpg");
  EXPECT_EQ(InspectGameFolder(files, game).thumbnail, game + "/Images/title.jpg");
  games.Write("tale/tale.qst", "[gamestart]\r\nQuestPicture=other.png\r\n");
  EXPECT_EQ(InspectGameFolder(files, game).thumbnail, game + "/Images/other.png");
}

TEST_F(GameLibraryTest, AddsEachFolderOnceAndKeepsTheListInTheConfigFolder) {
  const std::string one = MakeGame("one", "First");
  const std::string two = MakeGame("two", "Second");
  GameLibrary library(files);
  EXPECT_EQ(library.Add(one), GameLibrary::AddResult::kAdded);
  EXPECT_EQ(library.Add(two + "/"), GameLibrary::AddResult::kAdded);
  // The same folder by another spelling, or through a link, is already listed.
  EXPECT_EQ(library.Add(one + "/./"), GameLibrary::AddResult::kAlreadyListed);
  fs::create_directory_symlink(one, games.path() / "link");
  EXPECT_EQ(library.Add((games.path() / "link").string()), GameLibrary::AddResult::kAlreadyListed);
  std::string problem;
  EXPECT_EQ(library.Add((games.path() / "none").string(), &problem), GameLibrary::AddResult::kNotAGame);
  EXPECT_EQ(problem, "no folder at " + (games.path() / "none/").string());

  ASSERT_TRUE(fs::exists(home.path() / "config/velmora-player/library.ini"));
  const std::vector<LibraryEntry> listed = GameLibrary(files).Games();
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].folder, one + "/");
  EXPECT_EQ(listed[0].captionUtf8, "First");
  EXPECT_EQ(listed[0].thumbnail, one + "/Images/title.jpg");
  EXPECT_TRUE(listed[0].present);
  EXPECT_EQ(listed[0].lastPlayed, 0);
  EXPECT_EQ(listed[1].folder, two + "/");
}

TEST_F(GameLibraryTest, FolderNamesWithBlanksAndQuotesAtTheEndsComeBackAsTheyWere) {
  const std::string odd = MakeGame(" \"odd\" name ");
  GameLibrary library(files);
  ASSERT_EQ(library.Add(odd), GameLibrary::AddResult::kAdded);
  EXPECT_EQ(Folders(library), std::vector<std::string>{odd + "/"});
  EXPECT_TRUE(library.Remove(odd));
}

TEST_F(GameLibraryTest, ScanAddsTheGameFoldersOneLevelDownByName) {
  MakeGame("b");
  MakeGame("a");
  games.Write("notes/readme.txt", "not a game");
  games.Write("deeper/inside/config.ini", "");  // two levels down: not looked at
  games.Write("deeper/inside/story.qst", "[gamestart]\r\n");
  games.Write("file.txt", "");
  GameLibrary library(files);
  const std::string a = (games.path() / "a/").string(), b = (games.path() / "b/").string();
  EXPECT_EQ(library.Scan(games.path().string()), (std::vector<std::string>{a, b}));
  EXPECT_EQ(library.Scan(games.path().string()), std::vector<std::string>{});
  EXPECT_EQ(Folders(library), (std::vector<std::string>{a, b}));
  // A game folder scanned itself is added too.
  MakeGame("deeper/c");
  EXPECT_EQ(library.Scan((games.path() / "deeper/c").string()), std::vector<std::string>{(games.path() / "deeper/c/").string()});
  EXPECT_EQ(library.Scan((games.path() / "missing").string()), std::vector<std::string>{});
}

TEST_F(GameLibraryTest, RemovingAndPlaying) {
  const std::string one = MakeGame("one", "First");
  const std::string two = MakeGame("two", "Second");
  GameLibrary library(files);
  library.Add(one);
  library.Add(two);
  EXPECT_TRUE(library.MarkPlayed(two, 1700000000));
  EXPECT_FALSE(library.MarkPlayed((games.path() / "three").string(), 1));
  EXPECT_EQ(library.Games()[1].lastPlayed, 1700000000);

  // A folder that went away stays listed, with the caption it last had, until removed.
  fs::remove_all(two);
  const LibraryEntry gone = library.Games()[1];
  EXPECT_FALSE(gone.present);
  EXPECT_EQ(gone.captionUtf8, "Second");
  EXPECT_EQ(gone.thumbnail, "");
  EXPECT_TRUE(library.Remove(two));
  EXPECT_FALSE(library.Remove(two));
  EXPECT_EQ(Folders(library), std::vector<std::string>{one + "/"});
}

// The games the player comes with are listed once, on the first run: a game the user
// removes stays removed, and a folder that holds no game is left out.
TEST_F(GameLibraryTest, TheFirstRunListsTheGamesThePlayerComesWith) {
  const std::string demo = MakeGame("demo", "Demo");
  GameLibrary library(files);
  library.AddOnFirstRun({demo, (games.path() / "absent").string()});
  EXPECT_EQ(Folders(library), std::vector<std::string>{demo + "/"});
  EXPECT_TRUE(library.Remove(demo));
  library.AddOnFirstRun({demo});
  EXPECT_EQ(Folders(library), std::vector<std::string>{});
}

// "Continue" is offered while the save the last close wrote is there.
TEST_F(GameLibraryTest, AGameGoesOnFromItsAutomaticSaveWhileTheFileIsThere) {
  const std::string one = MakeGame("one");
  GameLibrary library(files);
  library.Add(one);
  EXPECT_EQ(library.Games()[0].autoSave, "");
  const std::string save = games.Write("saves/auto.sav", "save bytes");
  EXPECT_TRUE(library.SetAutoSave(one, save));
  EXPECT_FALSE(library.SetAutoSave((games.path() / "two").string(), save));
  EXPECT_TRUE(library.MarkPlayed(one, 5));  // other changes keep it
  EXPECT_EQ(library.Games()[0].autoSave, save);
  fs::remove(save);
  EXPECT_EQ(library.Games()[0].autoSave, "");
}

// Why the last start failed is kept with the game, on one line and in UTF-8 (a story
// file's name may come in the game's code page), until a start succeeds.
TEST_F(GameLibraryTest, AFailedStartIsKeptUntilTheNextStartSucceeds) {
  const std::string one = MakeGame("one");
  GameLibrary library(files);
  library.Add(one);
  EXPECT_EQ(library.Games()[0].startFailure, "");
  const struct {
    std::string failure, kept;
  } cases[] = {
      {"Tracklist /g/music.lst not found!", "Tracklist /g/music.lst not found!"},
      {"Story file \xC4\xE2\xE5\xF0\xFC.qst not found!\nforged=1", "Story file \xD0\x94\xD0\xB2\xD0\xB5\xD1\x80\xD1\x8C.qst not found! forged=1"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(library.SetStartFailure(one, c.failure));
    EXPECT_EQ(library.Games()[0].startFailure, c.kept) << c.failure;
    EXPECT_EQ(library.Games().size(), 1u);
  }
  EXPECT_FALSE(library.SetStartFailure((games.path() / "two").string(), "x"));
}

TEST_F(GameLibraryTest, ALibraryThatCannotBeWrittenRaisesTheWriteFault) {
  const std::string one = MakeGame("one");
  games.Write("blocked", "a file where the folder should be");
  GameLibrary library(files, (games.path() / "blocked/library.ini").string());
  EXPECT_TRUE(library.Games().empty());
  EXPECT_THROW(library.Add(one), RuntimeFault);
}

}  // namespace
}  // namespace velmora
