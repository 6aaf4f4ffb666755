#include "story/story_so_far.h"

#include "base/game.h"
#include "story/choice_menu.h"
#include "base/main_window_state.h"

namespace velmora {

void RecordPageRead(Game& game, const std::string& page) {
  auto& history = game.history;
  if (history.size() >= kHistoryLimit) history.erase(history.begin(), history.begin() + (history.size() - kHistoryLimit + 1));
  history.push_back({page, game.mainWindow->storyLines, {}});
}

void RecordChoiceTaken(Game& game, int choiceIndex) {
  if (game.history.empty()) return;
  std::string taken;
  for (const std::string& line : ChoiceLinesToDraw(game, choiceIndex)) {
    if (line.empty()) continue;
    if (!taken.empty()) taken += ' ';
    taken += line;
  }
  game.history.back().choice = taken;
}

}  // namespace velmora
