#include "story/page_loader.h"

#include <algorithm>

#include "base/fault.h"
#include "base/game.h"
#include "base/main_window_state.h"
#include "story/choice_menu.h"
#include "story/page_state.h"
#include "base/pictures.h"
#include "story/replacevars.h"
#include "story/story_so_far.h"

namespace velmora {

namespace {

// Counts read from the story file size the page's lists, so absurd ones (a damaged or
// hostile file saying two billion, or ten thousand choices of ten thousand lines each)
// must not take all memory or hang the load. The bound is on the whole page, text lines,
// choices and their lines together; a page past it is refused, never cut. Real pages stay
// far below it; counts of 0 or less mean nothing to read.
constexpr int64_t kMaxPageLines = 1'000'000;

int32_t ReadCount(const IniDocument& story, const std::string& section, const std::string& key) {
  return std::max(story.ReadInteger(section, key, 0), 0);
}

std::string Numbered(std::string_view prefix, int32_t n) { return std::string(prefix) + std::to_string(n); }

// Raises the fault for a page whose text and choices together pass the bound.
void CheckPageSize(const IniDocument& story, const std::string& page) {
  int64_t lines = ReadCount(story, page, "textsize");
  const int32_t actions = ReadCount(story, page, "ActionsCount");
  lines += actions;
  for (int32_t n = 0; n < actions && lines <= kMaxPageLines; ++n)
    lines += ReadCount(story, page, Numbered("Action", n) + ".LinesCount");
  if (lines > kMaxPageLines)
    throw RuntimeFault("Page " + page + " is too large: its text and choices declare more than " +
                       std::to_string(kMaxPageLines) + " lines");
}

// Every appended line is followed by a pass over the whole list.
std::vector<std::string> SubstitutedPageLines(Game& game, const std::string& page, int32_t n) {
  const IniDocument& story = *game.story;
  std::vector<std::string> source;
  source.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) source.push_back(story.ReadText(page, Numbered("Line", i), ""));
  return Substituter(game).ApplyAfterEachAppend(source);
}

std::vector<Action> ReadActions(const IniDocument& story, const std::string& page) {
  std::vector<Action> actions(static_cast<size_t>(ReadCount(story, page, "ActionsCount")));
  for (size_t n = 0; n < actions.size(); ++n) {
    const std::string key = Numbered("Action", static_cast<int32_t>(n));
    Action& action = actions[n];
    action.script = story.ReadText(page, key + ".Script", "");
    action.enabled = story.ReadBool(page, key + ".Enabled", true);
    const int32_t lineCount = ReadCount(story, page, key + ".LinesCount");
    for (int32_t m = 0; m < lineCount; ++m) action.lines.push_back(story.ReadText(page, Numbered(key + ".Line", m), ""));
  }
  return actions;
}

// The page's text into the story text control; its size already checked.
void FillPageText(Game& game, const std::string& page) {
  MainWindowState& window = *game.mainWindow;
  const int32_t n = ReadCount(*game.story, page, "textsize");
  window.storyLines.clear();
  game.WriteLog(1, "Loading Page text...");
  window.storyLines = SubstitutedPageLines(game, page, n);
  int64_t bytes = WorkMeter::kLoadCost;
  for (const std::string& line : window.storyLines) bytes += static_cast<int64_t>(line.size());
  game.work.Charge(bytes);
  window.Changed(MainWindowState::kStoryText | MainWindowState::kStoryCaret);
}

}  // namespace

void LoadPageText(Game& game, const std::string& page) {
  CheckPageSize(*game.story, page);
  FillPageText(game, page);
}

void LoadPage(Game& game, const std::string& nameArg) {
  const std::string name = nameArg;  // callers may pass the page state's own PageParam
  const IniDocument& story = *game.story;
  PageState& page = *game.page;
  MainWindowState& window = *game.mainWindow;

  CheckPageSize(story, name);  // before anything of the page is shown
  const bool cutscene = story.ReadBool(name, "Page.Cutscene", false);
  const bool fastAnswer = story.ReadBool(name, "Page.RequireFastAnswer", false);
  page.pageAction = story.ReadText(name, "Page.Action", "nil");
  page.pageParam = story.ReadText(name, "Page.Param", "nil");
  game.WriteLog(1, "Loading Page: " + name);

  FillPageText(game, name);

  page.actions = ReadActions(story, name);
  UpdateList(game);
  game.WriteLog(1, "Success!");
  game.WriteLog(1, "Loading Page image...");

  // A picture that exists but cannot be decoded raises here and ends the load: text and
  // choices are shown, but no timer starts and the page does not become current.
  const std::string picture = story.ReadText(name, "QuestPicture", "nil");
  const std::string path = game.gameFolder() + "\\Images\\" + picture;
  if (game.files().FileExists(path)) {
    window.picture = LoadPicture(game, path, window.ShownPictureBox());
    window.pictureFile = path;
    window.Changed(MainWindowState::kPicture);
    game.WriteLog(1, "Sucsess!");
  } else {
    game.WriteLog(2, "Imagefile " + picture + " not found!");
  }

  game.WriteLog(1, "Loading buttons configurations...");
  // Timers are only ever switched on here: one still running from an earlier page keeps
  // its countdown and, when it fires, acts on whatever page is current then.
  if (cutscene) {
    game.WriteLog(1, "Starting page action...");
    game.pageActionTimer.SetInterval(static_cast<uint32_t>(story.ReadInteger(name, "Page.Delay", 0)));
    game.pageActionTimer.SetEnabled(true);
  }
  if (fastAnswer) {
    game.WriteLog(1, "Start fast answer timer...");
    game.answerTimer.SetInterval(static_cast<uint32_t>(story.ReadInteger(name, "Page.AnswerTime", 0)));
    page.fastScript = story.ReadText(name, "Page.FastScript", "nil");
    game.answerTimer.SetEnabled(true);
  }
  game.WriteLog(1, "Page " + name + " loaded!");
  page.currentPage = name;
  RecordPageRead(game, name);
}

}  // namespace velmora
