// Interpreter benchmarks. Run: build/bench/script/script_bench
// Prints, after Google Benchmark's table, the same counting loop in Lua 5.4 and the ratio.
#include <benchmark/benchmark.h>

#include <ctime>
#include <cstdio>
#include <memory>
#include <string>

#include "script/interpreter.h"
#include "script/script_library.h"
#include "support/test_game.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

constexpr int32_t kLoopCount = 10'000'000;
double g_loopRate = 0;  // iterations per processor second of the plain counting loop

// A game whose library holds the given scripts.
struct BenchGame {
  explicit BenchGame(const std::string& library) {
    t.dir.Write("Scripts/Scripts.bsf", library);
    game = &t.Make();
    LoadScriptLibrary(*game);
  }
  void Run(const std::string& name) {
    game->RunEvent([&] { RunScript(*game, name); });
    if (!t.dialogs.shown.empty()) {
      std::fprintf(stderr, "script failed: %s\n", t.dialogs.shown.back().c_str());
      std::abort();
    }
  }
  testing::TestGame t;
  Game* game;
};

const std::string kCountingLoop = "___script count\r\n$int.set i 0\r\n$while $int.smallerthan i " +
                                  std::to_string(kLoopCount) + " $int.add i 1\r\n___end\r\n";

// Returns the iterations per second measured.
double CountingLoop(benchmark::State& state, int otherVariables) {
  BenchGame g(kCountingLoop);
  for (int i = 0; i < otherVariables; ++i) g.game->vars->NewIntVar("other" + std::to_string(i), i);
  // Processor time, as Lua's os.clock() measures it, so that other load on the machine
  // does not tilt the comparison.
  const std::clock_t start = std::clock();
  for (auto _ : state) g.Run("count");
  const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  const int i = g.game->vars->FindVar("i", false);
  if (g.game->vars->IntValue(i) != kLoopCount) std::abort();
  state.SetItemsProcessed(state.iterations() * kLoopCount);
  return static_cast<double>(state.iterations()) * kLoopCount / seconds;
}

void BM_CountingLoop(benchmark::State& state) { g_loopRate = CountingLoop(state, 0); }
BENCHMARK(BM_CountingLoop)->Unit(benchmark::kMillisecond);

void BM_CountingLoopWith1000Variables(benchmark::State& state) { CountingLoop(state, 1000); }
BENCHMARK(BM_CountingLoopWith1000Variables)->Unit(benchmark::kMillisecond);

// 1,000 appends of a 255-byte value to a 255-byte value (each result cut to 255 bytes).
void BM_StringSplit(benchmark::State& state) {
  std::string library = "___script split\r\n";
  for (int i = 0; i < 1000; ++i) library += "$string.split s t\r\n";
  library += "___end\r\n";
  BenchGame g(library);
  g.game->vars->NewStrVar("s", std::string(255, 's'));
  g.game->vars->NewStrVar("t", std::string(255, 't'));
  for (auto _ : state) g.Run("split");
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_StringSplit)->Unit(benchmark::kMicrosecond);

// A 10 MB library of 20,000 scripts, with comments, quoted texts and labels.
std::string LargeLibrary() {
  std::string text;
  text.reserve(10'500'000);
  for (int s = 0; text.size() < 10'000'000; ++s) {
    text += "// script " + std::to_string(s) + " of the big library\r\n___script scene" + std::to_string(s) + "\r\n";
    for (int line = 0; line < 12; ++line) {
      text += "  $int.equal visited" + std::to_string(line) + " 0 $run \"scene " + std::to_string(s + 1) +
              "\"\r\n  $string.set line \"A quoted text, with \"\"quotes\"\" and blanks\"\r\n"
              "  .label L" + std::to_string(line) + " $int.add counter 1 .end $sleep 10\r\n";
    }
    text += "___end\r\n\r\n";
  }
  return text;
}

void BM_LoadTenMegabyteLibrary(benchmark::State& state) {
  const std::string text = LargeLibrary();
  testing::TestGame t;
  t.dir.Write("Scripts/Scripts.bsf", text);
  Game& game = t.Make();
  for (auto _ : state) {
    LoadScriptLibrary(game);
    benchmark::DoNotOptimize(game.scripts->scripts.size());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
  state.counters["scripts"] = static_cast<double>(game.scripts->scripts.size());
}
BENCHMARK(BM_LoadTenMegabyteLibrary)->Unit(benchmark::kMillisecond);

// The same counting loop in Lua 5.4, timed by Lua itself in processor time (start-up excluded).
void CompareWithLua() {
  const std::string command = "lua5.4 -e \"local t=os.clock() local i=0 while i<" + std::to_string(kLoopCount) +
                              " do i=i+1 end io.write(os.clock()-t)\" 2>/dev/null";
  double best = 0;
  for (int run = 0; run < 5; ++run) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    double seconds = 0;
    if (!pipe || std::fscanf(pipe.get(), "%lf", &seconds) != 1 || seconds <= 0) {
      std::printf("\nLua 5.4 yardstick: lua5.4 not available\n");
      return;
    }
    if (best == 0 || seconds < best) best = seconds;
  }
  const double luaRate = kLoopCount / best;
  std::printf("\nCounting loop to %d:\n", kLoopCount);
  std::printf("  Velmora script  %8.1f ms  %6.1f M iterations/s\n", 1000.0 * kLoopCount / g_loopRate, g_loopRate / 1e6);
  std::printf("  Lua 5.4         %8.1f ms  %6.1f M iterations/s  (best of 5)\n", 1000.0 * best, luaRate / 1e6);
  std::printf("  ratio (script speed / Lua speed): %.2f\n", g_loopRate / luaRate);
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (velmora::g_loopRate > 0) velmora::CompareWithLua();
  return 0;
}
