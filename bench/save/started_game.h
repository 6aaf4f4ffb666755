#pragma once
// A started game for the saving benchmarks: the demo, or a small game whose story file is
// padded to a given size.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "base/game.h"
#include "base/main_window_state.h"
#include "run/startup.h"
#include "save/save_games.h"
#include "story/choice_menu.h"
#include "story/page_loader.h"
#include "support/test_game.h"

namespace velmora {

// A started game: the demo, or a small game whose story file is padded to `storyBytes`.
struct StartedGame {
  testing::TestGame t;
  testing::TempDir data;
  Game* game = nullptr;
  std::unique_ptr<SaveGames> saves;

  explicit StartedGame(size_t storyBytes = 0) {
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    if (storyBytes == 0) {
      namespace fs = std::filesystem;
      fs::copy(VELMORA_DEMO, t.dir.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    } else {
      t.dir.Write("config.ini", "[Start]\r\nStartPage=start\r\n[GameForm]\r\nCaption=Big\r\n");
      t.dir.Write("music.lst", "");
      std::string story = "[start]\r\ntextsize=1\r\nLine0=Start\r\nActionsCount=1\r\nAction0.Script=go\r\n";
      for (int page = 0; story.size() < storyBytes; ++page) {
        story += "[page" + std::to_string(page) + "]\r\ntextsize=2\r\n";
        story += "Line0=A line of prose that fills the story file to its size, page " + std::to_string(page) + "\r\n";
        story += "Line1=And another one, with a choice below it.\r\nActionsCount=1\r\nAction0.Enabled=1\r\n";
      }
      t.dir.Write("story.qst", story);
    }
    game = &t.Make();
    StartGame(*game);
    CreateToolWindows(*game);
    saves = std::make_unique<SaveGames>(*game);
  }

  // Chooses the first choice when there is one, else starts over.
  void Choose() {
    if (game->mainWindow->choiceItems.empty()) {
      game->RunEvent([this] { LoadPage(*game, "GameStart"); });
      return;
    }
    game->mainWindow->selectedChoice = 0;
    game->RunEvent([this] { ChooseHighlightedAction(*game); });
  }
};

}  // namespace velmora
