#include "script/interpreter.h"

#include <string>

#include "script/command_table.h"
#include "base/fault.h"
#include "base/game.h"

namespace velmora {

NestedRun::NestedRun(Game& game, Kind kind) : state_(*game.interp) {
  if (state_.depth == 0 && kind == kRun) {
    state_.steps = 0;
    state_.slowSteps = 0;
    state_.logLinesAtStart = game.log.Lines().size();
  }
  if (state_.depth >= state_.limits.maxDepth)
    throw RuntimeFault("Scripts nested too deeply (more than " + std::to_string(state_.limits.maxDepth) +
                       " levels)");
  ++state_.depth;
}

NestedRun::~NestedRun() { --state_.depth; }

void ExecuteCommand(Game& game, const TokenList& t, int32_t& p) {
  InterpreterState& s = *game.interp;
  if (++s.steps > s.limits.maxCommands)
    throw RuntimeFault("Script stopped after " + std::to_string(s.limits.maxCommands) + " commands");
  if (game.log.Lines().size() - s.logLinesAtStart > s.limits.maxLogLines)
    throw RuntimeFault("Script stopped after writing " + std::to_string(s.limits.maxLogLines) + " log lines");
  Arg(t, p);  // a position past the end (a loop body there) is the argument-position fault
  const int16_t c = t.CommandAt(p);
  if (c < 0) {
    ++p;  // not a command: passed over silently
    return;
  }
  const CommandInfo& command = kCommands[static_cast<size_t>(c)];
  if (command.speed == kSlow && ++s.slowSteps > s.limits.maxSlowCommands)
    throw RuntimeFault("Script stopped after " + std::to_string(s.limits.maxSlowCommands) +
                       " commands that load pages, write files, show boxes, wait or play sound");
  command.handler(game, t, p);
}

}  // namespace velmora
