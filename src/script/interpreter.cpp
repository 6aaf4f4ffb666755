#include "script/interpreter.h"

#include <algorithm>
#include <string>

#include "base/fault.h"
#include "base/int_text.h"

namespace velmora {

namespace {

// Asks the front end about the chain, when it wants to be asked.
void AskFrontEnd(Game& game) {
  if (!game.checkChain) return;
  InterpreterState& s = *game.interp;
  const int64_t now = game.clock().NowMs();
  const int64_t waited = game.timedDialogs.WaitedMs();
  const Game::ChainVerdict verdict = game.checkChain(now - s.startedMs - (waited - s.waitedMs));
  if (verdict.stop) throw RuntimeFault(verdict.why);
  if (verdict.restartClock) {
    s.startedMs = game.clock().NowMs();
    s.waitedMs = game.timedDialogs.WaitedMs();
  }
}

}  // namespace

NestedRun::NestedRun(Game& game, Kind kind) : state_(*game.interp), work_(game.work) {
  if (state_.depth == 0 && kind == kRun) {
    work_.StartChain();
    const int64_t bound = static_cast<int64_t>(state_.limits.maxCommands);
    state_.budget = std::min(bound, InterpreterState::kStretch);
    state_.left = bound - state_.budget;
    if (game.checkChain) {
      state_.startedMs = game.clock().NowMs();
      state_.waitedMs = game.timedDialogs.WaitedMs();
    }
  }
  if (state_.depth >= state_.limits.maxDepth)
    throw RuntimeFault("Scripts nested too deeply (more than " + std::to_string(state_.limits.maxDepth) +
                       " levels)");
  ++state_.depth;
}

void EndOfStretch(Game& game) {
  InterpreterState& s = *game.interp;
  if (s.left <= 0) {
    s.budget = 0;
    throw RuntimeFault("Script stopped after " + std::to_string(s.limits.maxCommands) + " commands");
  }
  const int64_t stretch = std::min(s.left, InterpreterState::kStretch);
  s.left -= stretch;
  s.budget = stretch - 1;  // this command is the stretch's first
  AskFrontEnd(game);
}

void BeforeSlowCommand(Game& game) { AskFrontEnd(game); }

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
