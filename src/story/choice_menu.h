#pragma once
// The choice list and the two page timers' handlers.
#include <string>
#include <vector>

namespace velmora {

class Game;

void UpdateList(Game& game);
// Height of item index in pixels (16 per line of the item's text).
int ChoiceHeight(Game& game, int index, int height);
// The lines to draw for item index, as drawn: quotes removed, references substituted,
// only as many lines as the item has.
std::vector<std::string> ChoiceLinesToDraw(Game& game, int index);
// The font the item is drawn with, read from config.ini at every drawing.
struct ChoiceFont {
  std::string name;
  int size = 10;
};
ChoiceFont ChoiceDrawingFont(Game& game);
void ChooseHighlightedAction(Game& game);
void RunPageAction(Game& game);
void RunFastAnswer(Game& game);

}  // namespace velmora
