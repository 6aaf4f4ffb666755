// The player's time to read: on real time in the windows a timed page waits its delay
// times the factor; a replay, on its virtual clock, never reads the setting.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <cstdio>
#include <string>

#include "base/steady_clock.h"
#include "story/page_loader.h"
#include "story/page_state.h"
#include "support/test_game.h"
#include "ui/countdown.h"
#include "ui/timer_driver.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

constexpr const char kTimedStory[] =
    "[start]\ntextsize=1\nLine0=Quick!\nPage.Cutscene=1\nPage.Delay=300\nPage.Action=$goto\nPage.Param=after\n"
    "[after]\ntextsize=1\nLine0=Too late.\n";

TEST(TimeToRead, ATimedPageWaitsTwiceItsDelayOnRealTime) {
  testing::TestApplication();
  testing::TestGame t;
  SteadyClock clock;
  t.platform.clock = &clock;
  t.dir.Write("config.ini", "[GameForm]\nCaption=Timed\n");
  t.dir.Write("story.qst", kTimedStory);
  t.dir.Write("music.lst", "");
  Game& game = t.Make();
  QtTimerDriver driver(game.timers);
  game.pageActionTimer.SetStretch(2);
  QElapsedTimer elapsed;
  elapsed.start();
  LoadPage(game, "start");
  while (game.page->currentPage != "after" && elapsed.elapsed() < 5000) QTest::qWait(10);
  EXPECT_EQ(game.page->currentPage, "after");
  EXPECT_GE(elapsed.elapsed(), 600) << "twice the page's 300 ms";
  EXPECT_EQ(game.pageActionTimer.Interval(), 300u) << "what the page set stays as it set it";
}

TEST(TimeToRead, TheCountdownShowsTheRealWaitInWholeSecondsWhileThereIsOne) {
  testing::TestApplication();
  testing::TestGame t;
  t.dir.Write("config.ini", "[GameForm]\nCaption=Timed\n");
  t.dir.Write("story.qst", kTimedStory);
  t.dir.Write("music.lst", "");
  Game& game = t.Make();
  game.pageActionTimer.SetStretch(4);
  QWidget picture;
  picture.resize(300, 200);
  Countdown countdown(game, &picture);
  countdown.SetEnabled(true);
  EXPECT_TRUE(countdown.isHidden()) << "no timed page, no countdown";
  LoadPage(game, "start");
  countdown.SetEnabled(true);  // as its next tick would
  EXPECT_FALSE(countdown.isHidden());
  EXPECT_EQ(countdown.text(), "2 s") << "300 ms four times over, rounded up";
  t.clock.Set(t.clock.NowMs() + 1200);
  countdown.SetEnabled(true);
  EXPECT_TRUE(countdown.isHidden());
  countdown.SetEnabled(false);
  EXPECT_TRUE(countdown.isHidden());
}

TEST(TimeToRead, AReplayIgnoresIt) {
  testing::TempDir dir;
  dir.Write("game/config.ini", "[GameForm]\nCaption=Timed\n");
  // The start page goes on to the timed one after 1 ms; 300 ms later its timer fires.
  dir.Write("game/story.qst", std::string("[gamestart]\ntextsize=1\nLine0=Go\nPage.Cutscene=1\nPage.Delay=1\n"
                                          "Page.Action=$goto\nPage.Param=start\n") +
                                  kTimedStory);
  dir.Write("game/music.lst", "");
  dir.Write("config/velmora-player/settings.ini", "[Accessibility]\nTimeToRead=4\n");
  dir.Write("steps.replay", "wait 1\nwait 300\nshow\n");
  const std::string folder = dir.path().string();
  const std::string command = "cd '" + folder + "/game' && XDG_CONFIG_HOME='" + folder + "/config' XDG_DATA_HOME='" +
                              folder + "/data' '" VELMORA_PLAYER "' --game . --replay '" + folder +
                              "/steps.replay' 2>&1 </dev/null";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  pclose(pipe);
  EXPECT_NE(output.find("  | Too late."), std::string::npos) << output;
}

}  // namespace
}  // namespace velmora
