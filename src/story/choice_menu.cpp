#include "story/choice_menu.h"

#include <algorithm>

#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "script/script_library.h"
#include "base/game.h"
#include "base/main_window_state.h"
#include "base/text.h"
#include "story/page_loader.h"
#include "story/page_state.h"
#include "story/replacevars.h"
#include "story/story_so_far.h"
#include "story/text_lines.h"

namespace velmora {

namespace {

const std::string* ItemText(const Game& game, int index) {
  const auto& items = game.mainWindow->choiceItems;
  if (index < 0 || static_cast<size_t>(index) >= items.size()) return nullptr;
  return &items[static_cast<size_t>(index)];
}

std::string StartPageName(const Game& game) { return game.config->ReadText("Start", "StartPage", "gamestart"); }

}  // namespace

void UpdateList(Game& game) {
  MainWindowState& window = *game.mainWindow;
  window.choiceItems.clear();
  for (const Action& action : game.page->actions)
    if (action.enabled) window.choiceItems.push_back(JoinLines(action.lines));
  window.selectedChoice = -1;
  window.Changed(MainWindowState::kChoices | MainWindowState::kSelection);
}

int ChoiceHeight(Game& game, int index, int height) {
  const std::string* text = ItemText(game, index);
  if (!text) return height;
  return height * static_cast<int>(SplitLines(*text).size());
}

std::vector<std::string> ChoiceLinesToDraw(Game& game, int index) {
  const std::string* text = ItemText(game, index);
  if (!text) return {};
  std::vector<std::string> lines = SplitLines(*text);
  const size_t count = lines.size();
  std::vector<std::string> drawn;
  drawn.reserve(count);
  // Line a is taken after a + 1 passes: each pass drops the quotes and substitutes again
  // what the earlier passes left. A value that adds line breaks does not add drawn lines.
  Substituter pass(game);
  for (size_t a = 0; a < count; ++a) {
    std::string joined = JoinLines(lines);
    std::erase(joined, '"');
    lines = SplitLines(joined);
    pass.Apply(lines);
    drawn.push_back(a < lines.size() ? lines[a] : std::string());
  }
  return drawn;
}

ChoiceFont ChoiceDrawingFont(Game& game) {
  if (!game.config) return {"MS Sans Serif", 10};
  return {game.config->ReadText("Font", "Name", "MS Sans Serif"), game.config->ReadInteger("Font", "Size", 10)};
}

void ChooseHighlightedAction(Game& game) {
  const int selected = game.mainWindow->selectedChoice;
  if (game.beforeChoice && ItemText(game, selected)) game.beforeChoice();
  game.answerTimer.SetEnabled(false);
  if (!ItemText(game, selected)) return;
  RecordChoiceTaken(game, selected);
  int k = selected;
  for (const Action& action : game.page->actions) {
    if (!action.enabled) continue;
    if (k-- == 0) {
      const std::string script = action.script;  // the script may load another page
      RunScript(game, script);
      return;
    }
  }
}

void RunPageAction(Game& game) {
  game.pageActionTimer.SetEnabled(false);
  // Copies: the actions below may load a page, which replaces both.
  const std::string action = game.page->pageAction;
  const std::string param = game.page->pageParam;
  if (SameCommand(action, "$exit")) {
    game.RequestClose();
  } else if (SameCommand(action, "$run")) {
    RunScript(game, param);
  } else if (SameCommand(action, "$start")) {
    LoadPage(game, StartPageName(game));
  } else if (SameCommand(action, "$load")) {
    LoadPage(game, game.config->ReadText("GameLoad", "Page", StartPageName(game)));
  } else if (SameCommand(action, "$player.playtrack")) {
    PlayTrack(game, param);
  } else if (SameCommand(action, "$goto")) {
    LoadPage(game, param);
  } else if (SameCommand(action, "$player.playsound")) {
    PlaySoundAction(game, param);
  }
}

void RunFastAnswer(Game& game) {
  game.answerTimer.SetEnabled(false);
  const std::string script = game.page->fastScript;
  RunScript(game, script);
}

}  // namespace velmora
