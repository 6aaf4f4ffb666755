#pragma once
// The interpreter: executes the one command at a position and moves the position on.
//
// A chain is everything one window event runs: the outermost script or label run and all
// runs nested in it. Scripts can recurse and loop without end, so a chain is bounded in
// nesting (a script that runs itself ends with a fault, not a stack overflow) and in the
// commands it executes (a count far above any honest script's, the same in every run, so
// a replay ends the same way each time). Between these, the front end is asked now and
// then whether to go on (Game::checkChain): the players ask the person after a few seconds.
//
// Besides commands, a chain is bounded in the work its commands do (Game::work): bytes
// logged, read and written, pages, pictures and tracks loaded, boxes shown.
//
// This costs one decrement per command: the commands are counted down in stretches, and
// the end of a stretch is where the bound and the front end are looked at; so is every
// command that waits, shows a box, loads or writes, since a few of those can take long.
#include <cstddef>
#include <cstdint>

#include "script/command_table.h"
#include "script/token_list.h"
#include "base/game.h"
#include "vars/var_store.h"

namespace velmora {

struct ScriptLimits {
  int32_t maxDepth = 1000;             // nested runs: scripts, label ranges, loop bodies
  uint64_t maxCommands = 100'000'000;  // commands (and passed-over tokens) one chain executes
};

struct InterpreterState {
  explicit InterpreterState(const CommandTable& table) : commands(&table) {}
  const CommandTable* commands;  // the language's commands, as the run's composition put them together
  static constexpr int64_t kStretch = 1 << 16;  // commands between two looks at the bounds
  uint32_t randomSeed = 0;  // never seeded from the clock: every run draws the same numbers
  int32_t depth = 0;        // nesting of runs in the current chain
  // Commands left in this stretch, and in the chain after it (a command run outside any
  // chain counts against the last chain's).
  int64_t budget = kStretch;
  int64_t left = static_cast<int64_t>(ScriptLimits {}.maxCommands) - kStretch;
  // Where the chain's running time is counted from: the clock, and the time spent in boxes.
  int64_t startedMs = 0, waitedMs = 0;
  ScriptLimits limits;
};

// The out-of-line parts of a step: the end of a stretch (a fault when the bound is
// passed), and the look at a command that may take long.
void EndOfStretch(Game& game);
void BeforeSlowCommand(Game& game);
void PrepareSlots(const TokenList& t, int32_t p);  // first run of the list, or p outside it
void ResolveOperands(const VarStore& vars, const TokenList& t, int32_t p, int operands);

// Resolves the variable slots of the command's operands unless the store is as it was
// when they were last resolved.
inline void EnsureOperands(Game& game, const TokenList& t, int32_t p, int operands) {
  const VarStore& vars = *game.vars;
  if (t.cache[static_cast<size_t>(p)].stamp != vars.Generation()) [[unlikely]]
    ResolveOperands(vars, t, p, operands);
}

// Inlined into each loop that steps through commands: under WebAssembly every call pays
// a stack check, and the optimiser kept this one out of line (a fifth of the browser's
// time for a script of quick commands went to the call).
[[gnu::always_inline]] inline void ExecuteCommand(Game& game, const TokenList& t, int32_t& p) {
  InterpreterState& s = *game.interp;
  if (--s.budget < 0) [[unlikely]] EndOfStretch(game);
  // Also the argument-position fault for a position past the end (a loop body there).
  if (static_cast<uint32_t>(p) >= t.cache.size()) [[unlikely]] PrepareSlots(t, p);
  const int16_t code = t.command[static_cast<size_t>(p)];
  if (code < 0) {
    ++p;  // not a command: passed over silently
    return;
  }
  const CommandInfo& command = (*s.commands)[static_cast<size_t>(code)];
  if (command.speed == kSlow) BeforeSlowCommand(game);
  EnsureOperands(game, t, p, command.operands);
  switch (command.advance) {
    case Advance::kFixed:
    case Advance::kLoop:
      command.action(game, t, p);
      p += command.width;
      return;
    case Advance::kTest:
      p += command.test(game, t, p) ? command.width : command.width + 1;
      return;
    case Advance::kToTerminator:
      command.action(game, t, p);
      p = t.AfterTerminator(p + 2);
      return;
    case Advance::kEndsList:
      command.action(game, t, p);
      p = t.size() + 1;
      return;
  }
}

// One nested run for as long as it lives: a script, a label range, or the bodies of one
// loop. The outermost run of a chain starts the chain's bounds afresh.
//
// The commands of a run execute in a function of their own, called in its scope: in the
// browser build a call that may throw, made where something waits to be destroyed,
// leaves WebAssembly through JavaScript, which costs more than most commands.
class NestedRun {
 public:
  enum Kind { kRun, kLoopBody };
  NestedRun(Game& game, Kind kind);
  ~NestedRun() {
    if (--state_.depth == 0) work_.EndChain();
  }
  NestedRun(const NestedRun&) = delete;
  NestedRun& operator=(const NestedRun&) = delete;

 private:
  InterpreterState& state_;
  WorkMeter& work_;
};

}  // namespace velmora
