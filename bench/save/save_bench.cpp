// Saving the demo game (target: at most 20 ms), saving with a 10 MB story file that a
// script has just changed (at most 200 ms), going back a choice (at most 5 ms), and the
// memory that 100 steps back hold on the demo (at most 20 MB, counter "held_MB").
// Yardstick: one ordinary game-file write of the same story file, as $action.SetState
// makes it, measured in the same run.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "started_game.h"

namespace velmora {
namespace {

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
