// Interpreter benchmarks against Lua 5.4, run in the same process. Run:
//   build/bench/script/script_bench
// After Google Benchmark's table it prints, for the counting loop and the mixed script,
// the processor time per iteration (median of the repetitions, runs interleaved) and how
// many times as fast the script engine is as Lua with globals and with locals.
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "script/interpreter.h"
#include "script/script_library.h"
#include "support/test_game.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

constexpr int32_t kLoopCount = 10'000'000;
constexpr int32_t kMixedCount = 200'000;
constexpr int kRepetitions = 5;

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
  int32_t Int(const std::string& name) { return game->vars->IntValue(game->vars->FindVar(name, false)); }
  testing::TestGame t;
  Game* game;
};

// A Lua state with a chunk compiled once; each run calls it afresh.
class LuaChunk {
 public:
  explicit LuaChunk(const std::string& source) : L_(luaL_newstate()) {
    luaL_openlibs(L_);
    if (luaL_loadstring(L_, source.c_str()) != LUA_OK) Fail();
    ref_ = luaL_ref(L_, LUA_REGISTRYINDEX);
  }
  ~LuaChunk() { lua_close(L_); }
  // Runs the chunk and returns the integer it returns.
  long long Run() {
    lua_rawgeti(L_, LUA_REGISTRYINDEX, ref_);
    if (lua_pcall(L_, 0, 1, 0) != LUA_OK) Fail();
    const long long result = lua_tointeger(L_, -1);
    lua_pop(L_, 1);
    return result;
  }

 private:
  [[noreturn]] void Fail() {
    std::fprintf(stderr, "lua: %s\n", lua_tostring(L_, -1));
    std::abort();
  }
  lua_State* L_;
  int ref_ = LUA_NOREF;
};

// Each benchmark iteration runs `count` loop iterations.
void PerIteration(benchmark::State& state, int64_t count) {
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["loop_iterations"] = static_cast<double>(count);
}

// ---- Counting loop ------------------------------------------------------------------

const std::string kCountingLoop = "___script count\r\n$int.set i 0\r\n$while $int.smallerthan i " +
                                  std::to_string(kLoopCount) + " $int.add i 1\r\n___end\r\n";

void CountingLoop(benchmark::State& state, int otherVariables) {
  BenchGame g(kCountingLoop);
  for (int i = 0; i < otherVariables; ++i) g.game->vars->NewIntVar("other" + std::to_string(i), i);
  for (auto _ : state) g.Run("count");
  if (g.Int("i") != kLoopCount) std::abort();
  PerIteration(state, kLoopCount);
}

void BM_CountingLoop(benchmark::State& state) { CountingLoop(state, 0); }
BENCHMARK(BM_CountingLoop)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

void BM_CountingLoopWith1000Variables(benchmark::State& state) { CountingLoop(state, 1000); }
BENCHMARK(BM_CountingLoopWith1000Variables)->Unit(benchmark::kMillisecond);

void LuaLoop(benchmark::State& state, const std::string& source, long long expected, int64_t count) {
  LuaChunk chunk(source);
  for (auto _ : state)
    if (chunk.Run() != expected) std::abort();
  PerIteration(state, count);
}

void BM_CountingLoopLuaGlobals(benchmark::State& state) {
  LuaLoop(state, "i = 0 while i < " + std::to_string(kLoopCount) + " do i = i + 1 end return i", kLoopCount,
          kLoopCount);
}
BENCHMARK(BM_CountingLoopLuaGlobals)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

void BM_CountingLoopLuaLocals(benchmark::State& state) {
  LuaLoop(state, "local i = 0 while i < " + std::to_string(kLoopCount) + " do i = i + 1 end return i", kLoopCount,
          kLoopCount);
}
BENCHMARK(BM_CountingLoopLuaLocals)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

// ---- Mixed script -------------------------------------------------------------------
// Per iteration: a random number, an integer-set find-add, a key built by two appends of
// 150-byte texts (cut to 255 bytes), a string-set find-add of that key, and a nested
// $cycle of three additions, the whole run by $run from an outer $cycle.

const std::string kPiece(150, 'x');

const std::string kMixed = "___script mixed\r\n"
                           "$cycle 1 " + std::to_string(kMixedCount) + " $run step 0 0\r\n"
                           "___end\r\n"
                           "___script step\r\n"
                           "$int.random r 1000\r\n"
                           "$int.set.find.add r $int.add ihits 1\r\n"
                           "$string.set key k\r\n"
                           "$string.split key a\r\n"
                           "$string.split key b\r\n"
                           "$str.set.find.add key $int.add shits 1\r\n"
                           "$cycle 1 3 $int.add inner 1 0 0\r\n"
                           "___end\r\n";

// The same work in Lua; `local` is "local " for the locals version, "" for globals.
std::string LuaMixed(const std::string& local) {
  return local + "seed, iset, sset, ihits, shits, inner = 0, {}, {}, 0, 0, 0\n" +
         local + "a, b = string.rep('x', 150), string.rep('x', 150)\n" +
         (local.empty() ? "function step()\n" : "local function step()\n") +
         "  seed = (seed * 134775813 + 1) & 0xffffffff\n"
         "  " + local + "r = (seed * 1000) >> 32\n"
         "  if iset[r] then ihits = ihits + 1 else iset[r] = true end\n"
         "  " + local + "key = 'k'\n"
         "  key = string.sub(key .. a, 1, 255)\n"
         "  key = string.sub(key .. b, 1, 255)\n"
         "  if sset[key] then shits = shits + 1 else sset[key] = true end\n"
         "  for j = 1, 3 do inner = inner + 1 end\n"
         "end\n"
         "for n = 1, " + std::to_string(kMixedCount) + " do step() end\n"
         "return inner";
}

void BM_MixedScript(benchmark::State& state) {
  BenchGame g(kMixed);
  for (const char* name : {"r", "ihits", "shits", "inner"}) g.game->vars->NewIntVar(name, 0);
  g.game->vars->NewStrVar("key", "");
  g.game->vars->NewStrVar("a", kPiece);
  g.game->vars->NewStrVar("b", kPiece);
  for (auto _ : state) {
    state.PauseTiming();
    g.game->vars->IntSetClear();
    g.game->vars->StrSetClear();
    g.game->interp->randomSeed = 0;
    for (const char* name : {"ihits", "shits", "inner"}) g.game->vars->SetIntValue(g.game->vars->FindVar(name, false), 0);
    state.ResumeTiming();
    g.Run("mixed");
  }
  if (g.Int("shits") != kMixedCount - 1) std::abort();
  PerIteration(state, kMixedCount);
}
BENCHMARK(BM_MixedScript)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

void BM_MixedLuaGlobals(benchmark::State& state) { LuaLoop(state, LuaMixed(""), 3 * kMixedCount, kMixedCount); }
BENCHMARK(BM_MixedLuaGlobals)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

void BM_MixedLuaLocals(benchmark::State& state) { LuaLoop(state, LuaMixed("local "), 3 * kMixedCount, kMixedCount); }
BENCHMARK(BM_MixedLuaLocals)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

// ---- Other corners ------------------------------------------------------------------

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

// Removing every element of an integer set, newest first: the time per element stays the
// same as the set grows.
void BM_IntSetRemoveNewestFirst(benchmark::State& state) {
  testing::TestGame t;
  Game& game = t.Make();
  const auto n = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    for (int32_t v = 0; v < n; ++v) game.vars->IntSetAdd(v);
    for (int32_t v = n - 1; v >= 0; --v) game.vars->IntSetRemove(v);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_IntSetRemoveNewestFirst)->Arg(40'000)->Arg(160'000)->Unit(benchmark::kMillisecond);

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

// ---- The comparison -----------------------------------------------------------------

// Collects each repetition's processor time per loop iteration, for the summary.
class Collector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      auto it = run.counters.find("loop_iterations");
      if (run.run_type != Run::RT_Iteration || it == run.counters.end() || run.error_occurred) continue;
      const double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      times[run.run_name.function_name].push_back(seconds * 1e9 / it->second.value);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Median(const std::string& name) {
    auto& v = times[name];
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  }
  std::map<std::string, std::vector<double>> times;
};

void PrintComparison(Collector& c, const char* what, const std::string& ours, const std::string& globals,
                     const std::string& locals) {
  const double t = c.Median(ours), g = c.Median(globals), l = c.Median(locals);
  if (t <= 0 || g <= 0 || l <= 0) return;
  std::printf("%-15s %8.2f ns   Lua globals %8.2f ns (%.2fx as fast)   Lua locals %8.2f ns (%.2fx as fast)\n", what,
              t, g, g / t, l, l / t);
}

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  // Interleave the repetitions, so that a change of load on the machine tilts all alike.
  std::vector<char*> args(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave.data());
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  velmora::Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();
  std::printf("\nProcessor time per iteration, median of the repetitions:\n");
  velmora::PrintComparison(collector, "counting loop", "BM_CountingLoop", "BM_CountingLoopLuaGlobals",
                           "BM_CountingLoopLuaLocals");
  velmora::PrintComparison(collector, "mixed script", "BM_MixedScript", "BM_MixedLuaGlobals", "BM_MixedLuaLocals");
  return 0;
}
