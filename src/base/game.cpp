#include "base/game.h"

#include "base/fault.h"

// The Game's operations that every subsystem calls and that need none of them; the
// construction, which needs them all, is the run's (run/game.cpp).
namespace velmora {

void Game::RunEvent(const std::function<void()>& body) {
  try {
    body();
  } catch (const RuntimeFault& fault) {
    dialogs().ShowError(WithPeriod(fault.what()));
  }
  // What the event's chain changed before any fault is kept.
  try {
    if (finishEvent) finishEvent();
  } catch (const RuntimeFault& fault) {
    dialogs().ShowError(WithPeriod(fault.what()));
  }
}

void Game::RequestClose() {
  closeRequested_ = true;
  if (onCloseRequested) onCloseRequested();
}

}  // namespace velmora
