#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class Game;

// Shows one page of the story file: text, actions, choice list, picture, timers.
void LoadPage(Game& game, const std::string& name);
// Fills the story text with a page's lines (the text steps of LoadPage).
void LoadPageText(Game& game, const std::string& page);

}  // namespace velmora
