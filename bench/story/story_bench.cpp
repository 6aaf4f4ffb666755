// Replacevars on a 4 KB page with 1,000 integer variables, 1,000 string variables and 200
// items (target: at most 1 ms per call), the same through a choice item's drawing, and
// LoadPage of a page of 100,000 text lines, also with a variable whose name holds a line
// break (target: well under a second).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "inventory/inventory.h"
#include "base/main_window_state.h"
#include "story/choice_menu.h"
#include "story/page_loader.h"
#include "story/replacevars.h"
#include "support/test_game.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

constexpr int kInts = 1000, kStrs = 1000, kItems = 200;

std::string IntName(int i) { return "stat" + std::to_string(i); }
std::string StrName(int i) { return "name" + std::to_string(i); }
std::string ItemName(int i) { return "item" + std::to_string(i); }

// A game with the tables filled; names of different lengths share prefixes
// (stat1, stat10, stat100 ...), as real stories' names do.
struct Tables {
  testing::TestGame t;
  Game* game;
  Tables() {
    t.dir.Write("config.ini", "[Start]\r\nStartPage=start\r\n");
    t.dir.Write("music.lst", "");
    std::string inv = "[Inventory]\r\nTotalItems=" + std::to_string(kItems) + "\r\n";
    for (int i = 0; i < kItems; ++i)
      inv += "[Item" + std::to_string(i) + "]\r\nName=" + ItemName(i) + "\r\nDisplayName=Thing " + std::to_string(i) +
             "\r\nCount=" + std::to_string(i % 7) + "\r\nMaxCount=9\r\nEnabled=1\r\n";
    t.dir.Write("Scripts/inventory.inv", inv);
    t.dir.Write("story.qst", "[start]\r\ntextsize=0\r\n");
    game = &t.Make();
    for (int i = 0; i < kInts; ++i) game->vars->NewIntVar(IntName(i), i * 37 - 500);
    for (int i = 0; i < kStrs; ++i) game->vars->NewStrVar(StrName(i), "value of " + std::to_string(i));
    LoadDefinitions(*game);
  }
};

// About 4 KB of prose lines, one reference in every few words.
std::vector<std::string> Page(size_t bytes) {
  std::mt19937 rng(7);
  std::vector<std::string> lines;
  std::string line;
  size_t total = 0;
  while (total < bytes) {
    std::string word;
    switch (rng() % 8) {
      case 0: word = "$_" + IntName(static_cast<int>(rng() % kInts)); break;
      case 1: word = "$_" + StrName(static_cast<int>(rng() % kStrs)); break;
      case 2: word = "$c_" + ItemName(static_cast<int>(rng() % kItems)); break;
      case 3: word = "$d_" + ItemName(static_cast<int>(rng() % kItems)); break;
      default: word = "lorem";
    }
    line += word + " ";
    total += word.size() + 1;
    if (line.size() > 70) {
      lines.push_back(line);
      line.clear();
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void BM_Replacevars4KB(benchmark::State& state) {
  Tables tables;
  const auto page = Page(4096);
  for (auto _ : state) {
    auto lines = page;
    Replacevars(*tables.game, lines);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 4096);
}
BENCHMARK(BM_Replacevars4KB)->Unit(benchmark::kMicrosecond);

void BM_DrawChoiceItem(benchmark::State& state) {
  Tables tables;
  auto lines = Page(300);
  std::string item;
  for (const auto& l : lines) item += l + "\r\n";
  tables.game->mainWindow->choiceItems = {item};
  for (auto _ : state) benchmark::DoNotOptimize(ChoiceLinesToDraw(*tables.game, 0));
}
BENCHMARK(BM_DrawChoiceItem)->Unit(benchmark::kMicrosecond);

// A page of 100,000 lines; with `spanning`, a string variable whose name holds a line
// break exists, and every 100th line ends in the first half of a reference to it that
// the next line completes.
void LoadLongPage(benchmark::State& state, bool spanning) {
  Tables tables;
  if (spanning) tables.game->vars->NewStrVar("note\r\nx", "(note)");
  std::string story = "[long]\r\ntextsize=100000\r\n";
  const auto prose = Page(100000 * 40);
  for (int i = 0; i < 100000; ++i) {
    std::string line = prose[i % prose.size()];
    if (spanning && i % 100 == 0) line += "$_note";
    if (spanning && i % 100 == 1) line = "x" + line;
    story += "Line" + std::to_string(i) + "=" + line + "\r\n";
  }
  tables.t.dir.Write("story.qst.new", story);
  std::filesystem::rename(tables.t.dir.path() / "story.qst.new", tables.t.dir.path() / "story.qst");
  for (auto _ : state) {
    LoadPage(*tables.game, "long");
    benchmark::DoNotOptimize(tables.game->mainWindow->storyLines.size());
  }
}

void BM_LoadPage100kLines(benchmark::State& state) { LoadLongPage(state, false); }
BENCHMARK(BM_LoadPage100kLines)->Unit(benchmark::kMillisecond);

void BM_LoadPage100kLinesWithALineBreakName(benchmark::State& state) { LoadLongPage(state, true); }
BENCHMARK(BM_LoadPage100kLinesWithALineBreakName)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora
