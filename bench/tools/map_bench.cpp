// The story map of a generated 2,000-page story: building it and writing DOT (target:
// under 100 ms), and laying it out as SVG (target: under 2 s). Yardsticks in the same run:
// reading every key the map reads from the story file as the game's documents read it
// (a stat a read), for the DOT; Graphviz's own dot layout of the same graph with bare
// nodes and edges (no labels, no legend), for the SVG (one iteration: it takes a minute).
#include <benchmark/benchmark.h>

#include <string>

#include "base/ini_document.h"
#include "platform/files/posix_files.h"
#include "support/test_game.h"
#include "tools/map_output.h"
#include "tools/story_map.h"

namespace velmora {
namespace {

constexpr int kPages = 2000;

std::string Numbered(const char* prefix, int n) {
  std::string s = prefix;
  return s.append(std::to_string(n));
}

// Each page: two lines, three choices (a $goto, a $run chain, a test with two outcomes)
// to pages ahead; every tenth page has a timed action, the last ones end the game.
struct GeneratedStory {
  testing::TempDir dir;
  GeneratedStory() {
    dir.Write("config.ini", "[Start]\r\nStartPage=p0\r\n");
    std::string story, scripts;
    for (int p = 0; p < kPages; ++p) {
      const std::string n = std::to_string(p);
      auto ahead = [&](int k) { return Numbered("p", std::min(kPages - 1, p + k)); };
      story += "[p" + n + "]\r\ntextsize=2\r\nLine0=Page " + n + ": the road goes on\r\nLine1=Second line\r\n";
      if (p == kPages - 1) {
        story += "ActionsCount=1\r\nAction0.Script=quit\r\nAction0.LinesCount=1\r\nAction0.Line0=The end\r\n";
        continue;
      }
      story += "ActionsCount=3\r\n";
      for (int a = 0; a < 3; ++a) {
        const std::string an = Numbered("Action", a);
        story += an + ".Script=s" + n + "_" + std::to_string(a) + "\r\n" + an + ".LinesCount=1\r\n" + an +
                 ".Line0=Choice " + std::to_string(a) + " of page " + n + "\r\n";
      }
      if (p % 10 == 0) story += "Page.Cutscene=1\r\nPage.Delay=1000\r\nPage.Action=$goto\r\nPage.Param=" + ahead(5) + "\r\n";
      scripts += "___script s" + n + "_0 $goto " + ahead(1) + " ___end\r\n";
      scripts += "___script s" + n + "_1 $run t" + n + " ___end\r\n___script t" + n + " $goto " + ahead(2) + " ___end\r\n";
      scripts += "___script s" + n + "_2 $int.equal x 1 $goto " + ahead(3) + " $goto " + ahead(4) + " ___end\r\n";
    }
    scripts += "___script quit $exit ___end\r\n";
    dir.Write("story.qst", story);
    dir.Write("Scripts/Scripts.bsf", scripts);
  }
  std::string folder() const { return dir.path().string() + "/"; }
};

GeneratedStory& Story() {
  static GeneratedStory story;
  return story;
}

void BM_MapDot(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string dot = MapToDot(BuildStoryMap(Story().folder()));
    bytes = dot.size();
    benchmark::DoNotOptimize(dot.data());
  }
  state.counters["dot_KB"] = static_cast<double>(bytes) / 1024;
}
BENCHMARK(BM_MapDot)->Unit(benchmark::kMillisecond);

// Yardstick: the story file opened and every key the map reads read once.
void BM_YardstickReadStory(benchmark::State& state) {
  PosixFiles files;
  for (auto _ : state) {
    IniDocument story(files, Story().folder() + "story.qst");
    size_t total = 0;
    for (int p = 0; p < kPages; ++p) {
      const std::string page = Numbered("p", p);
      total += story.ReadText(page, "Line0", "").size();
      const int32_t actions = story.ReadInteger(page, "ActionsCount", 0);
      for (int a = 0; a < actions; ++a) {
        const std::string an = Numbered("Action", a);
        total += story.ReadText(page, an + ".Script", "").size() + story.ReadText(page, an + ".Line0", "").size();
        total += static_cast<size_t>(story.ReadInteger(page, an + ".LinesCount", 0));
      }
      total += story.ReadBool(page, "Page.Cutscene", false) + story.ReadBool(page, "Page.RequireFastAnswer", false);
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_YardstickReadStory)->Unit(benchmark::kMillisecond);

void BM_MapLayoutSvg(benchmark::State& state) {
  const std::string dot = MapToDot(BuildStoryMap(Story().folder()));
  for (auto _ : state) {
    std::string svg, error;
    if (!LayOutGraph(dot, "svg", svg, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(svg.data());
  }
}
BENCHMARK(BM_MapLayoutSvg)->Unit(benchmark::kMillisecond)->Iterations(3);

// Yardstick: the same nodes and edges, bare.
void BM_YardstickBareLayout(benchmark::State& state) {
  const StoryMap map = BuildStoryMap(Story().folder());
  std::string dot = "digraph g {\n";
  for (const MapEdge& e : map.edges)
    if (!e.computed) dot += Numbered("p", static_cast<int>(e.from)) + " -> p" + std::to_string(e.to) + ";\n";
  dot += "}\n";
  for (auto _ : state) {
    std::string svg, error;
    if (!LayOutGraph(dot, "svg", svg, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(svg.data());
  }
}
BENCHMARK(BM_YardstickBareLayout)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace velmora
