#pragma once
// The story so far (Game::history): each page read, with the choice taken on it.
#include <cstddef>
#include <string>

namespace velmora {

class Game;

// The oldest pages give way beyond this many, so a long run's saves stay small.
constexpr size_t kHistoryLimit = 1000;

// A page has been loaded and is now the one being read.
void RecordPageRead(Game& game, const std::string& page);
// The highlighted choice of the page being read is taken, as drawn.
void RecordChoiceTaken(Game& game, int choiceIndex);

}  // namespace velmora
