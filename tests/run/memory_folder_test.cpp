// A whole run on a game folder held in memory: start-up, a choice whose script reads a
// text file and changes the inventory, and the shutdown's writes, with names in the
// wrong letter case and backslash paths, and never a file on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/game.h"
#include "inventory/inventory.h"
#include "run/startup.h"
#include "story/choice_menu.h"
#include "base/main_window_state.h"
#include "story/page_state.h"
#include "support/game_folder_fixture.h"
#include "support/memory_files.h"
#include "support/test_game.h"

namespace velmora {
namespace {

using Lines = std::vector<std::string>;

TEST(MemoryFolder, RunStartsPlaysAndSavesWithoutADisk) {
  testing::MemoryFiles files;
  files.Add("/game/Config.INI", "[Files]\r\nStoryFile=Story.qst\r\n[Start]\r\nStartPage=start\r\n");
  files.Add("/game/STORY.QST",
            "[WriterList]\r\nCount=1\r\nPage0=start\r\n"
            "[start]\r\ntextsize=1\r\nLine0=A letter lies here.\r\nActionsCount=1\r\n"
            "Action0.Script=read\r\nAction0.LinesCount=1\r\nAction0.Line0=Read it\r\n");
  files.Add("/game/music.lst", "[WriterList]\r\nCount=0\r\n");
  files.Add("/game/Scripts/Scripts.bsf",
            "___script read $form.LoadTextFromFile \\game\\notes\\LETTER.txt $inventory.add coin 2 ___end\r\n");
  files.Add("/game/Scripts/inventory.inv", "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=coin\r\nCount=0\r\nMaxCount=10\r\n");
  files.Add("/game/Scripts/messages.ini", "[Messages]\r\n");
  files.Add("/game/Scripts/intro.scr", "12345");
  files.Add("/game/Images/default.jpg", "");
  files.Add("/game/Notes/letter.txt", "Meet me at dawn.\r\n");

  testing::TestGame parts;  // dialogs, clock and audio; its folder on disk stays empty
  Platform platform = parts.platform;
  platform.files = &files;
  GameOptions options;
  options.gameFolder = "/game/";
  Game game(platform, options);

  ASSERT_EQ(StartGame(game), StartupResult::kCompleted);
  const Lines log = testing::Undated(game.log.Lines());
  for (const char* line : {" | File: intro.scr", " | Size: 5", " | Total: 1 file(s) And 5 byte(s)"})
    EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << line;
  EXPECT_EQ(game.page->currentPage, "start");
  EXPECT_EQ(game.mainWindow->storyLines, Lines{"A letter lies here."});

  game.mainWindow->selectedChoice = 0;
  game.RunEvent([&] { ChooseHighlightedAction(game); });
  EXPECT_EQ(parts.dialogs.shown, Lines{});
  EXPECT_EQ(game.mainWindow->storyLines, Lines{"Meet me at dawn."});
  EXPECT_NE(files.Content("/game/Scripts/inventory.sav").find("Count=2"), std::string::npos);

  ShutDownGame(game);
  EXPECT_EQ(files.Content("/game/Config.INI"),
            "[Files]\r\nStoryFile=Story.qst\r\n[Start]\r\nStartPage=start\r\n"
            "[GameForm]\r\nLeft=240\r\nTop=100\r\n[GameLoad]\r\nPage=start\r\n");
  EXPECT_TRUE(std::filesystem::is_empty(parts.dir.path()));
  EXPECT_NE(files.Content("/LastStart.log").find("Total: 1 file(s) And 5 byte(s)\r\n"), std::string::npos);
}

}  // namespace
}  // namespace velmora
