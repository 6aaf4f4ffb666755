// Saving the demo game (target: at most 20 ms), saving with a 10 MB story file that a
// script has just changed (at most 200 ms), going back a choice (at most 5 ms), and the
// memory that 100 steps back hold on the demo (at most 20 MB, counter "held_MB").
// Yardstick: one ordinary game-file write of the same story file, as $action.SetState
// makes it, measured in the same run.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "base/game.h"
#include "run/startup.h"
#include "save/save_games.h"
#include "story/choice_menu.h"
#include "base/main_window_state.h"
#include "story/page_loader.h"
#include "support/test_game.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A started game: the demo, or a small game whose story file is padded to `storyBytes`.
struct StartedGame {
  testing::TestGame t;
  testing::TempDir data;
  Game* game = nullptr;
  std::unique_ptr<SaveGames> saves;

  explicit StartedGame(size_t storyBytes = 0) {
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    if (storyBytes == 0) {
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

void BM_SaveDemo(benchmark::State& state) {
  StartedGame g;
  g.Choose();
  for (auto _ : state) {
    if (!g.saves->Save(1).done) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveDemo)->Unit(benchmark::kMillisecond);

void BM_SaveWithChanged10MBStory(benchmark::State& state) {
  StartedGame g(10u << 20);
  bool enabled = false;
  for (auto _ : state) {
    state.PauseTiming();
    g.game->story->WriteBool("page7", "Action0.Enabled", enabled = !enabled);
    state.ResumeTiming();
    if (!g.saves->Save(1).done) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveWithChanged10MBStory)->Unit(benchmark::kMillisecond);

void BM_Yardstick_StoryWrite10MB(benchmark::State& state) {
  StartedGame g(10u << 20);
  bool enabled = false;
  for (auto _ : state) g.game->story->WriteBool("page7", "Action0.Enabled", enabled = !enabled);
}
BENCHMARK(BM_Yardstick_StoryWrite10MB)->Unit(benchmark::kMillisecond);

void BM_BackDemo(benchmark::State& state) {
  StartedGame g;
  g.Choose();
  for (auto _ : state) {
    state.PauseTiming();
    g.Choose();
    state.ResumeTiming();
    if (!g.saves->Back().done) state.SkipWithError("nothing to go back to");
  }
}
BENCHMARK(BM_BackDemo)->Unit(benchmark::kMillisecond);

// The memory the way back holds after 100 choices: what is freed when it is dropped.
void BM_Memory100BackStepsDemo(benchmark::State& state) {
  double heldMb = 0;
  for (auto _ : state) {
    StartedGame g;
    for (int i = 0; i < 100; ++i) {
      g.game->beforeChoice();  // a step back even where the demo has ended and starts over
      g.Choose();
    }
    const size_t with = mallinfo2().uordblks;
    g.saves.reset();
    const size_t without = mallinfo2().uordblks;
    heldMb = static_cast<double>(with - without) / (1 << 20);
  }
  state.counters["held_MB"] = heldMb;
}
BENCHMARK(BM_Memory100BackStepsDemo)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace velmora
