// Event-loop timers on a virtual clock: when the countdown restarts and when it keeps running.
#include "base/timers.h"

#include <gtest/gtest.h>

#include "base/virtual_clock.h"

namespace velmora {
namespace {

class TimersTest : public ::testing::Test {
 protected:
  // Lets ms pass, firing due timers in time order as the event loop would.
  void Pass(int64_t ms) {
    const int64_t end = clock.NowMs() + ms;
    while (auto next = hub.NextDeadline()) {
      if (*next > end) break;
      clock.Set(std::max(*next, clock.NowMs()));
      hub.FireOne();
    }
    clock.Set(end);
  }
  VirtualClock clock {0};
  TimerHub hub {clock};
  std::vector<std::string> fired;
  Timer a {hub, "a", [this] { fired.push_back("a@" + std::to_string(clock.NowMs())); }};
  Timer b {hub, "b", [this] { fired.push_back("b@" + std::to_string(clock.NowMs())); }};
};

TEST_F(TimersTest, RestartOnlyWhenSwitchedOnOrGivenANewInterval) {
  a.SetInterval(100);
  a.SetEnabled(true);
  Pass(60);
  a.SetEnabled(true);    // already on: keeps counting
  a.SetInterval(100);    // the same interval: keeps counting
  Pass(60);              // fires at 100
  a.SetInterval(50);     // a new interval while on: counts from 120, due at 170
  Pass(40);
  a.SetEnabled(false);
  a.SetEnabled(true);    // off and on again at 160: due at 210, not 170
  Pass(100);
  EXPECT_EQ(fired, (std::vector<std::string> {"a@100", "a@210", "a@260"}));
}

TEST_F(TimersTest, IntervalZeroNeverFiresAndTiesFireInCreationOrder) {
  a.SetEnabled(true);
  Pass(1000);
  EXPECT_TRUE(fired.empty());
  b.SetInterval(30);
  b.SetEnabled(true);
  a.SetInterval(30);  // on with a new interval: counts from now, like b
  Pass(30);
  EXPECT_EQ(fired, (std::vector<std::string> {"a@1030", "b@1030"}));
}

TEST_F(TimersTest, ALateTimerFiresOnceAndIsReArmedBeforeItsHandler) {
  int64_t deadlineSeenByHandler = 0;
  Timer c {hub, "c", [&] { deadlineSeenByHandler = *hub.NextDeadline(); }};
  c.SetInterval(100);
  c.SetEnabled(true);
  clock.Set(350);  // a long blocking sleep
  hub.FireDue();
  EXPECT_EQ(deadlineSeenByHandler, 450);
  EXPECT_FALSE(hub.FireOne());
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

class StretchTest : public TimersTest {};

TEST_F(StretchTest, TimeToReadStretchesOnlyTheWallClockWait) {
  a.SetStretch(2);
  a.SetInterval(100);
  a.SetEnabled(true);
  EXPECT_EQ(a.Interval(), 100u) << "what the timer is stays as the game set it";
  Pass(150);
  EXPECT_EQ(a.TimeLeft(), 25) << "the time left is the game's own: saves do not depend on the stretch";
  EXPECT_EQ(a.WaitLeft(), 50);
  Pass(50);         // fires at 200, due again at 400 (100 game ms away)
  a.SetStretch(4);  // those 100 game ms now take 400 real ms
  Pass(399);
  EXPECT_EQ(fired, (std::vector<std::string>{"a@200"}));
  Pass(1);
  a.SetStretch(0);  // no factor below 1
  EXPECT_EQ(a.Stretch(), 1);
  b.SetStretch(2);
  b.Restore(100, true, 30);  // a save's 30 ms left are 60 real ms
  EXPECT_EQ(b.WaitLeft(), 60);
  EXPECT_EQ(fired, (std::vector<std::string>{"a@200", "a@600"}));
}

}  // namespace
}  // namespace velmora
