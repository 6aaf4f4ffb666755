#pragma once
// The interpreter: executes the one command at a position and moves the position on.
#include <cstdint>

#include "script/token_list.h"

namespace velmora {

class Game;

struct InterpreterState {
  uint32_t randomSeed = 0;  // never seeded from the clock: every run draws the same numbers
  int32_t depth = 0;        // nesting of runs, bounded so a bad script cannot exhaust the stack
  uint64_t steps = 0;       // commands executed by the current chain
};

void ExecuteCommand(Game& game, const TokenList& t, int32_t& p);

}  // namespace velmora
