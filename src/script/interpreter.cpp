#include "script/interpreter.h"

#include <algorithm>
#include <string>

#include "base/fault.h"
#include "base/int_text.h"

namespace velmora {

namespace {

// The log's alarm: the chain has written more lines than it may. The next command stops.
void LogBoundPassed(void* context) {
  auto& s = *static_cast<InterpreterState*>(context);
  if (s.heldBudget < 0) {
    s.heldBudget = s.budget;
    s.budget = 0;
  }
}

}  // namespace

NestedRun::NestedRun(Game& game, Kind kind) : state_(*game.interp) {
  if (state_.depth == 0 && kind == kRun) {
    state_.budget = static_cast<int64_t>(state_.limits.maxCommands);
    state_.heldBudget = -1;
    state_.slowLeft = static_cast<int64_t>(state_.limits.maxSlowCommands);
    game.log.SetLineAlarm(game.log.Lines().size() + state_.limits.maxLogLines, LogBoundPassed, &state_);
  }
  if (state_.depth >= state_.limits.maxDepth)
    throw RuntimeFault("Scripts nested too deeply (more than " + std::to_string(state_.limits.maxDepth) +
                       " levels)");
  ++state_.depth;
}

void StopChain(InterpreterState& s) {
  // With the log's alarm raised, this command is the first one after the log bound was
  // passed; the command bound, counted on, comes first all the same.
  const bool logBound = s.heldBudget >= 0;
  const int64_t left = logBound ? s.heldBudget - 1 : s.budget;
  s.heldBudget = -1;
  s.budget = 0;
  if (left >= 0)
    throw RuntimeFault("Script stopped after writing " + std::to_string(s.limits.maxLogLines) + " log lines");
  throw RuntimeFault("Script stopped after " + std::to_string(s.limits.maxCommands) + " commands");
}

void CountSlowCommand(InterpreterState& s) {
  if (--s.slowLeft < 0)
    throw RuntimeFault("Script stopped after " + std::to_string(s.limits.maxSlowCommands) +
                       " commands that load pages, write files, show boxes, wait or play sound");
}

void PrepareSlots(const TokenList& t, int32_t p) {
  if (t.cache.size() != t.tokens.size()) t.cache.assign(t.tokens.size(), TokenSlot {});
  Arg(t, p);
}

void ResolveOperands(const VarStore& vars, const TokenList& t, int32_t p, int operands) {
  const int32_t last = std::min(p + operands, t.size() - 1);
  for (int32_t q = p + 1; q <= last; ++q) {
    const std::string& token = t.tokens[static_cast<size_t>(q)];
    TokenSlot& slot = t.cache[static_cast<size_t>(q)];
    slot.intVar = vars.FindVar(token, false);
    slot.strVar = vars.FindVar(token, true);
    if (slot.intState == 0) {
      const auto value = ParseInt32(token);
      slot.intState = value ? 1 : -1;
      slot.intValue = value.value_or(0);
    }
  }
  t.cache[static_cast<size_t>(p)].stamp = vars.Generation();
}

}  // namespace velmora
