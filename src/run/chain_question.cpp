#include "run/chain_question.h"

#include <memory>

#include "base/game.h"
#include "base/stop_signals.h"

namespace velmora {

namespace {

bool StopRequested(Game::ChainVerdict& verdict) {
  if (!StopSignals::Requested()) return false;
  verdict.stop = true;
  verdict.why = "Script stopped: the program is ending";
  return true;
}

}  // namespace

void EndChainsOnStopSignals(Game& game) {
  game.checkChain = [](int64_t) {
    Game::ChainVerdict verdict;
    StopRequested(verdict);
    return verdict;
  };
}

void AskAboutLongChains(Game& game) {
  auto asking = std::make_shared<bool>(false);
  game.checkChain = [&game, asking](int64_t runningMs) {
    Game::ChainVerdict verdict;
    if (StopRequested(verdict)) return verdict;
    // A timer's script that runs while the question waits is part of the same chain.
    if (runningMs <= kLongChainMs || *asking) return verdict;
    *asking = true;
    const std::optional<bool> stop = game.dialogs().AskYesNo(
        "A script of the game has been running for " + std::to_string(runningMs / 1000) +
        " seconds. Stop it? (No keeps waiting.)");
    *asking = false;
    if (stop.value_or(false)) {
      verdict.stop = true;
      verdict.why = "Script stopped by the player after " + std::to_string(runningMs / 1000) + " seconds";
    }
    verdict.restartClock = true;
    return verdict;
  };
}

}  // namespace velmora
