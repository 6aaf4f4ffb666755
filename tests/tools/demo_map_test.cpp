// The demo game's map and the coverage of its own replays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/coverage.h"
#include "tools/story_map.h"

namespace velmora {
namespace {

TEST(DemoMapTest, FourteenPagesThreeEndingsNoDeadEndAllReachable) {
  const StoryMap map = BuildStoryMap(VELMORA_DEMO_DIR);
  std::vector<std::string> endings;
  for (const MapPage& page : map.pages) {
    if (page.ending) endings.push_back(page.name);
    EXPECT_FALSE(page.deadEnd) << page.name;
    EXPECT_FALSE(page.missing) << page.name;
    EXPECT_TRUE(page.reachable) << page.name;
  }
  EXPECT_EQ(map.pages.size(), 14u);
  EXPECT_EQ(endings, (std::vector<std::string>{"ending_dawn", "ending_dark", "ending_shore"}));
  EXPECT_EQ(map.pages[map.startPage].name, "gamestart");
}

TEST(DemoMapTest, TheDemosReplaysShowEveryPage) {
  const std::string replays = std::string(VELMORA_DEMO_DIR) + "replays/";
  CoverageReport report;
  std::string error;
  // The shore ending saves its page; continue.replay resumes it.
  ASSERT_TRUE(MeasureCoverage(VELMORA_DEMO_DIR,
                              {replays + "ending-dawn.replay", replays + "ending-dark.replay",
                               replays + "ending-shore.replay", replays + "continue.replay"},
                              "WINDOWS-1251", report, error))
      << error;
  const std::string table = FormatCoverage(report);
  EXPECT_TRUE(PagesNeverShown(report).empty()) << table;
  EXPECT_NE(table.find("coverage: 14 of 14 reachable pages shown"), std::string::npos) << table;
  EXPECT_NE(table.find("gamestart"), std::string::npos) << table;
}

TEST(DemoMapTest, AReplayThatCannotBeReadIsRefusedBeforeAnythingPlays) {
  CoverageReport report;
  std::string error;
  EXPECT_FALSE(MeasureCoverage(VELMORA_DEMO_DIR, {"/nonexistent.replay"}, "WINDOWS-1251", report, error));
  EXPECT_EQ(error, "cannot read the replay file /nonexistent.replay");
}

}  // namespace
}  // namespace velmora
