#pragma once
// Substitutes variable and item references ($_name, $cm_item, $c_item, $d_item) into text.
#include <string>
#include <vector>

namespace velmora {

class Game;

void Replacevars(Game& game, std::vector<std::string>& lines);

}  // namespace velmora
