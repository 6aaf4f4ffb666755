// INI documents on a generated story file of 2 KB per page section: 500 sections (1 MB),
// 5,000 sections (10 MB) and, for reads, 20,000 sections (40 MB).
//   BM_FirstParse: open and read one key, the file in the page cache (target: at least
//     300 MB/s, shown as bytes_per_second).
//   BM_ReadRandomKey: one read of a random key of a parsed document, its revalidation
//     against the file included (target: at most 2 us median, not growing with the file:
//     the lookup is one hash probe, only the caches see a larger table).
// Run: build-rel/bench/shell/shell_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/ini_document.h"
#include "platform/files/posix_files.h"
#include "support/test_game.h"

namespace velmora {
namespace {

PosixFiles files;

struct StoryFile {
  testing::TempDir dir;
  std::string path;
  size_t bytes = 0;
  std::vector<std::pair<std::string, std::string>> keys;  // (section, key) of every key line
};

// Pages as authors write them: a few behaviour keys, text lines, choices with scripts.
const StoryFile& Story(int sections) {
  static std::map<int, StoryFile> files;
  auto [it, fresh] = files.try_emplace(sections);
  StoryFile& f = it->second;
  if (!fresh) return f;
  std::mt19937 rng(11);
  std::string text = "[WriterList]\r\nCount=" + std::to_string(sections) + "\r\n";
  for (int s = 0; s < sections; ++s) text += "Page" + std::to_string(s) + "=page" + std::to_string(s) + "\r\n";
  auto key = [&](const std::string& section, const std::string& name, const std::string& value) {
    text += name + "=" + value + "\r\n";
    f.keys.emplace_back(section, name);
  };
  for (int s = 0; s < sections; ++s) {
    const std::string section = "page" + std::to_string(s);
    text += "\r\n[Page" + std::to_string(s) + "]\r\n";
    key(section, "QuestPicture", "scene" + std::to_string(s % 40) + ".jpg");
    key(section, "Page.Cutscene", "0");
    key(section, "TextSize", "12");
    for (int l = 0; l < 12; ++l)
      key(section, "Line" + std::to_string(l),
          "The lamp gutters as the tide turns; $_name counts " + std::to_string(rng() % 1000) + " steps to the door.");
    key(section, "ActionsCount", "3");
    for (int a = 0; a < 3; ++a) {
      const std::string prefix = "Action" + std::to_string(a) + ".";
      key(section, prefix + "Script", "go_" + std::to_string(rng() % 5000));
      key(section, prefix + "LinesCount", "1");
      key(section, prefix + "Line0", "\"Go on,\" she says.");
    }
    while (text.size() < static_cast<size_t>(s + 1) * 2000) text += "; notes\r\n";
  }
  f.path = f.dir.Write("story.qst", text);
  f.bytes = text.size();
  return f;
}

void BM_FirstParse(benchmark::State& state) {
  const StoryFile& f = Story(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    IniDocument doc(files, f.path);
    benchmark::DoNotOptimize(doc.ReadText("Page0", "Line0", ""));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes));
  state.counters["file_MB"] = static_cast<double>(f.bytes) / 1e6;
}
BENCHMARK(BM_FirstParse)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_ReadRandomKey(benchmark::State& state) {
  const StoryFile& f = Story(static_cast<int>(state.range(0)));
  IniDocument doc(files, f.path);
  doc.ReadText("Page0", "Line0", "");
  std::mt19937 rng(5);
  std::vector<std::pair<std::string, std::string>> picks;
  for (int i = 0; i < 4096; ++i) picks.push_back(f.keys[rng() % f.keys.size()]);
  size_t i = 0;
  for (auto _ : state) {
    const auto& [section, key] = picks[i++ & 4095];
    benchmark::DoNotOptimize(doc.ReadText(section, key, ""));
  }
}
BENCHMARK(BM_ReadRandomKey)->Arg(500)->Arg(5000)->Arg(20000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmora
