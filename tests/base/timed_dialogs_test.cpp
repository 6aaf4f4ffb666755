#include "base/timed_dialogs.h"

#include <gtest/gtest.h>

#include "base/silent_platform.h"
#include "base/virtual_clock.h"

namespace velmora {
namespace {

// A player who takes half a second over every box.
struct SlowPlayer : SilentDialogs {
  explicit SlowPlayer(VirtualClock& c) : clock(c) {}
  void ShowMessage(const std::string&) override { clock.Advance(500); }
  std::optional<bool> AskYesNo(const std::string&) override {
    clock.Advance(500);
    return true;
  }
  VirtualClock& clock;
};

TEST(TimedDialogs, AddUpTheTimeThePlayerSpendsInBoxes) {
  VirtualClock clock;
  SlowPlayer player(clock);
  Dialogs* boxes = &player;
  Clock* time = &clock;
  TimedDialogs dialogs(boxes, time);
  dialogs.ShowMessage("hi");
  EXPECT_EQ(dialogs.AskYesNo("go on?"), true);
  dialogs.ShowError("x");  // answered at once
  EXPECT_EQ(dialogs.WaitedMs(), 1000);
}

}  // namespace
}  // namespace velmora
