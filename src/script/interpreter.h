#pragma once
// The interpreter: executes the one command at a position and moves the position on.
//
// A chain is everything one window event runs: the outermost script or label run and all
// runs nested in it. Scripts can recurse and loop without end, so a chain is bounded: in
// nesting (so a script that runs itself ends with a fault, not a stack overflow), in the
// commands it executes, in the slow ones among them (a loop that saves the inventory or
// loads a page each time costs far more per command) and in the log lines it writes: a
// runaway loop ends after a few seconds instead of freezing the player or filling its memory.
#include <cstddef>
#include <cstdint>

#include "script/token_list.h"

namespace velmora {

class Game;

struct ScriptLimits {
  int32_t maxDepth = 1000;               // nested runs: scripts, label ranges, loop bodies
  uint64_t maxCommands = 100'000'000;    // commands (and passed-over tokens) one chain executes
  uint64_t maxSlowCommands = 5'000;      // of those, commands of kSlow speed (files, pages, boxes, ...)
  size_t maxLogLines = 200'000;          // log lines one chain writes
};

struct InterpreterState {
  uint32_t randomSeed = 0;  // never seeded from the clock: every run draws the same numbers
  int32_t depth = 0;        // nesting of runs in the current chain
  uint64_t steps = 0;       // commands executed by the current chain
  uint64_t slowSteps = 0;   // of those, slow ones
  size_t logLinesAtStart = 0;
  ScriptLimits limits;
};

void ExecuteCommand(Game& game, const TokenList& t, int32_t& p);

// One nested run for as long as it lives: a script, a label range, or the bodies of one
// loop. The outermost run of a chain starts the chain's counts afresh.
class NestedRun {
 public:
  enum Kind { kRun, kLoopBody };
  NestedRun(Game& game, Kind kind);
  ~NestedRun();
  NestedRun(const NestedRun&) = delete;
  NestedRun& operator=(const NestedRun&) = delete;

 private:
  InterpreterState& state_;
};

}  // namespace velmora
