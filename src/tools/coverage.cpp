#include "tools/coverage.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/game.h"
#include "base/text.h"
#include "base/virtual_clock.h"
#include "console/console_dialogs.h"
#include "console/replay_runner.h"
#include "platform/audio/audio_devices.h"
#include "platform/files/posix_files.h"
#include "run/startup.h"
#include "script/script_library.h"
#include "story/page_state.h"
#include "tools/story_sections.h"

namespace fs = std::filesystem;

namespace velmora {

namespace {

// A temporary folder, removed with what it holds.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "velmora-coverage-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

class CurrentFolder {
 public:
  explicit CurrentFolder(const fs::path& folder) : previous_(fs::current_path()) { fs::current_path(folder); }
  ~CurrentFolder() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
  }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  fs::path previous_;
};

constexpr std::string_view kLoadedPrefix = "Page ";
constexpr std::string_view kLoadedSuffix = " loaded!";

// Plays one replay on the game in `folder`, noting the pages its log says were loaded and
// the choices its `choose` steps took.
void PlayForCoverage(const std::string& folder, const std::vector<Step>& steps, const std::string& codePage,
                     CoverageReport& report) {
  PosixFiles files;
  VirtualClock clock;
  std::ostringstream transcript;
  ConsoleDialogs dialogs(transcript);
  auto library = CreateVirtualAudioLibrary(clock);
  auto effects = CreateVirtualEffectPlayer(clock);
  Platform platform;
  platform.files = &files;
  platform.clock = &clock;
  platform.audio = library.get();
  platform.effects = effects.get();
  platform.dialogs = &dialogs;
  GameOptions options;
  options.gameFolder = folder;
  options.codePage = codePage;
  Game game(platform, options);
  dialogs.SetCodec(&game.codec);
  if (!StartWithoutWindows(game, transcript)) return;
  ReplayRunner runner(game, clock, dialogs, transcript);
  for (const Step& step : steps) {
    if (game.CloseRequested()) break;
    if (step.kind == StepKind::kChoose && step.number >= 1) {
      const size_t page = report.map.Find(game.page->currentPage);
      int64_t listed = 0;
      for (size_t n = 0; n < game.page->actions.size() && page < report.map.pages.size(); ++n)
        if (game.page->actions[n].enabled && ++listed == step.number) report.covered.choicesTaken.emplace(page, static_cast<int>(n));
    }
    runner.Run({step});
  }
  ShutDownGame(game);
  for (const std::string& line : game.log.Lines()) {
    std::string name;
    if (!PageLoadedByLogLine(line, name)) continue;
    const size_t page = report.map.Find(name);
    if (page == report.map.pages.size()) continue;
    report.covered.pagesShown.insert(page);
    ++report.timesShown[page];
  }
}

}  // namespace

bool MeasureCoverage(const std::string& gameFolder, const std::vector<std::string>& replays,
                     const std::string& codePage, CoverageReport& report, std::string& error) {
  std::vector<std::vector<Step>> plays;
  for (const std::string& file : replays) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      error = "cannot read the replay file " + file;
      return false;
    }
    std::vector<Step> steps;
    std::vector<std::string> errors;
    if (!ReadReplay(in, steps, errors)) {
      error = file + ": " + errors.front();
      return false;
    }
    plays.push_back(std::move(steps));
  }
  report.map = BuildStoryMap(gameFolder, codePage);
  report.timesShown.assign(report.map.pages.size(), 0);

  ScratchFolder scratch;
  std::error_code failed;
  if (!scratch.path().empty())
    fs::copy(gameFolder, scratch.path() / "game", fs::copy_options::recursive, failed);
  if (scratch.path().empty() || failed) {
    error = "cannot copy the game folder to play the replays on: " + failed.message();
    return false;
  }
  const fs::path copy = scratch.path() / "game";
  CurrentFolder inCopy(copy);
  for (const auto& steps : plays) PlayForCoverage(copy.string() + "/", steps, codePage, report);
  return true;
}

bool PageLoadedByLogLine(const std::string& line, std::string& page) {
  const size_t at = line.find(kLoadedPrefix);
  if (at == std::string::npos || line.size() < at + kLoadedPrefix.size() + kLoadedSuffix.size() ||
      line.compare(line.size() - kLoadedSuffix.size(), kLoadedSuffix.size(), kLoadedSuffix) != 0)
    return false;
  page = line.substr(at + kLoadedPrefix.size(), line.size() - kLoadedSuffix.size() - at - kLoadedPrefix.size());
  return true;
}

std::vector<size_t> PagesNeverShown(const CoverageReport& report) {
  std::vector<size_t> never;
  for (size_t i = 0; i < report.map.pages.size(); ++i)
    if (report.map.pages[i].reachable && !report.map.pages[i].missing && !report.covered.pagesShown.count(i))
      never.push_back(i);
  return never;
}

std::string FormatCoverage(const CoverageReport& report) {
  const StoryMap& map = report.map;
  size_t width = 4;
  for (const MapPage& page : map.pages) width = std::max(width, page.name.size());
  auto padded = [&](std::string text, size_t to) { return text + std::string(to > text.size() ? to - text.size() : 1, ' '); };
  std::string out = padded("page", width + 2) + padded("shown", 7) + "choices taken\n";
  size_t choices = 0, taken = 0;
  for (size_t i = 0; i < map.pages.size(); ++i) {
    const MapPage& page = map.pages[i];
    if (page.missing) continue;
    const int ways = page.actions;
    std::string missed;
    int took = 0;
    for (int n = 0; n < ways; ++n) {
      if (report.covered.choicesTaken.count({i, n})) ++took;
      else missed.append(missed.empty() ? "" : " ").append("Action").append(std::to_string(n));
    }
    choices += static_cast<size_t>(ways);
    taken += static_cast<size_t>(took);
    std::string row = padded(page.name, width + 2) + padded(std::to_string(report.timesShown[i]), 7);
    if (ways == 0) row += "-";
    else row += std::to_string(took) + " of " + std::to_string(ways) + (missed.empty() ? "" : " (never: " + missed + ")");
    out += row + "\n";
  }
  const std::vector<size_t> never = PagesNeverShown(report);
  size_t reachable = 0;
  for (const MapPage& page : map.pages) reachable += page.reachable && !page.missing;
  out += "coverage: " + std::to_string(reachable - never.size()) + " of " + std::to_string(reachable) +
         " reachable pages shown, " + std::to_string(taken) + " of " + std::to_string(choices) + " choices taken";
  if (!never.empty()) {
    out += "; never shown:";
    for (size_t i : never) out += " " + map.pages[i].name;
  }
  return out + "\n";
}

}  // namespace velmora
