#include "story/page_loader.h"

#include <algorithm>

#include "base/game.h"
#include "story/main_window_state.h"
#include "story/choice_menu.h"
#include "story/page_state.h"
#include "story/pictures.h"
#include "story/replacevars.h"

namespace velmora {

namespace {

// A count read from the story file sizes the page's lists, so an absurd one (a damaged or
// hostile file saying two billion) must not take all memory or hang the load. Real pages
// stay far below these; counts of 0 or less mean nothing to read.
constexpr int32_t kMaxTextLines = 1'000'000;
constexpr int32_t kMaxActions = 10'000;
constexpr int32_t kMaxActionLines = 10'000;

int32_t ReadCount(const IniDocument& story, const std::string& section, const std::string& key, int32_t bound) {
  return std::clamp(story.ReadInteger(section, key, 0), 0, bound);
}

std::string Numbered(std::string_view prefix, int32_t n) { return std::string(prefix) + std::to_string(n); }

// Every appended line is followed by a pass over the whole list.
std::vector<std::string> SubstitutedPageLines(Game& game, const std::string& page, int32_t n) {
  const IniDocument& story = *game.story;
  std::vector<std::string> source;
  source.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) source.push_back(story.ReadText(page, Numbered("Line", i), ""));
  return Substituter(game).ApplyAfterEachAppend(source);
}

std::vector<Action> ReadActions(const IniDocument& story, const std::string& page) {
  std::vector<Action> actions(static_cast<size_t>(ReadCount(story, page, "ActionsCount", kMaxActions)));
  for (size_t n = 0; n < actions.size(); ++n) {
    const std::string key = Numbered("Action", static_cast<int32_t>(n));
    Action& action = actions[n];
    action.script = story.ReadText(page, key + ".Script", "");
    action.enabled = story.ReadBool(page, key + ".Enabled", true);
    const int32_t lineCount = ReadCount(story, page, key + ".LinesCount", kMaxActionLines);
    for (int32_t m = 0; m < lineCount; ++m) action.lines.push_back(story.ReadText(page, Numbered(key + ".Line", m), ""));
  }
  return actions;
}

}  // namespace

void LoadPageText(Game& game, const std::string& page) {
  MainWindowState& window = *game.mainWindow;
  const int32_t n = ReadCount(*game.story, page, "textsize", kMaxTextLines);
  window.storyLines.clear();
  game.WriteLog(1, "Loading Page text...");
  window.storyLines = SubstitutedPageLines(game, page, n);
  window.Changed(MainWindowState::kStoryText | MainWindowState::kStoryCaret);
}

void LoadPage(Game& game, const std::string& nameArg) {
  const std::string name = nameArg;  // callers may pass the page state's own PageParam
  const IniDocument& story = *game.story;
  PageState& page = *game.page;
  MainWindowState& window = *game.mainWindow;

  const bool cutscene = story.ReadBool(name, "Page.Cutscene", false);
  const bool fastAnswer = story.ReadBool(name, "Page.RequireFastAnswer", false);
  page.pageAction = story.ReadText(name, "Page.Action", "nil");
  page.pageParam = story.ReadText(name, "Page.Param", "nil");
  game.WriteLog(1, "Loading Page: " + name);

  LoadPageText(game, name);

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
}

}  // namespace velmora
