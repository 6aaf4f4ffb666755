// The run's log: line form per level, and the saved file.
#include "base/startup_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "base/fault.h"
#include "base/virtual_clock.h"
#include "base/work_meter.h"
#include "support/test_game.h"

namespace velmora {
namespace {

class StartupLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    savedTz_ = tz ? tz : "";
    hadTz_ = tz != nullptr;
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  void TearDown() override {
    if (hadTz_) ::setenv("TZ", savedTz_.c_str(), 1);
    else ::unsetenv("TZ");
    ::tzset();
  }
  VirtualClock clock {1709294645};  // 2024-03-01 12:04:05 UTC
  StartupLog log {&clock};
  PosixFiles files;

 private:
  std::string savedTz_;
  bool hadTz_ = false;
};

TEST_F(StartupLogTest, ThreeLevelsWithTheirTexts) {
  log.WriteLog(1, "Initializing...");
  log.WriteLog(2, "x");
  log.WriteLog(2, " Picturefile  not found!");
  log.WriteLog(3, "Confgiguration file not found!");
  log.WriteLog(0, "zero");
  log.WriteLog(4, "four");
  log.WriteLog(-1, "negative");
  log.WriteLog(3, "Script Error! Script a\r\n2024-01-01 | 00:00:00 | \x1b[2J\tb not found!");
  clock.Advance(61000);
  log.WriteLog(1, "");
  const std::vector<std::string> expected = {
      "2024-03-01 | 12:04:05 | Initializing...",
      "2024-03-01 | 12:04:05 | Warning:x",
      "2024-03-01 | 12:04:05 | Warning: Picturefile  not found!",
      "2024-03-01 | 12:04:05 | Error:Confgiguration file not found!",
      "2024-03-01 | 12:04:05 | Error:Script Error! Script a\\r\\n2024-01-01 | 00:00:00 | \\x1B[2J\tb not found!",
      "2024-03-01 | 12:05:06 | ",
  };
  EXPECT_EQ(log.Lines(), expected);
}

TEST_F(StartupLogTest, SaveReplacesTheFileWithCrLfLines) {
  testing::TempDir dir;
  const std::string path = dir.Write("LastStart.log", "an older run's log, longer than this one\r\n");
  log.WriteLog(1, "one");
  log.WriteLog(3, "two");
  ASSERT_TRUE(log.Save(files, path));
  EXPECT_EQ(dir.Read("LastStart.log"), "2024-03-01 | 12:04:05 | one\r\n2024-03-01 | 12:04:05 | Error:two\r\n");
  EXPECT_FALSE(log.Save(files, (dir.path() / "no" / "LastStart.log").string()));
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

TEST(StartupLogBound, KeepsItsFirstAndNewestLinesAroundOneThatCountsTheRest) {
  VirtualClock clock;
  StartupLog log {&clock, nullptr, 1000};
  for (int i = 0; i < 100; ++i) log.WriteLog(1, "line " + std::to_string(i));  // 33 bytes each
  const std::vector<std::string> lines = log.Lines();
  size_t bytes = 0;
  for (const auto& l : lines) bytes += l.size() + 2;
  EXPECT_LE(bytes, 1000u + 120u);
  EXPECT_NE(lines.front().find("| line 0"), std::string::npos);
  EXPECT_NE(lines.back().find("| line 99"), std::string::npos);
  const auto marker = std::find_if(lines.begin(), lines.end(),
                                   [](const std::string& l) { return l.find("line(s) left out here") != std::string::npos; });
  ASSERT_NE(marker, lines.end());
  EXPECT_NE(marker->find("Warning:" + std::to_string(log.LeftOut()) + " line(s)"), std::string::npos);
  EXPECT_EQ(lines.size(), 100 - log.LeftOut() + 1);
}

TEST(StartupLogBound, ChargesItsLinesToTheWorkMeter) {
  WorkMeter meter;
  meter.SetBound(100);
  StartupLog log {nullptr, &meter};
  log.WriteLog(1, "before any chain");  // outside a chain nothing faults
  meter.StartChain();
  EXPECT_THROW(for (int i = 0; i < 10; ++i) log.WriteLog(3, "Variable j not found!"), RuntimeFault);
  meter.EndChain();
  log.WriteLog(1, "after it");
  meter.StartChain();  // a new chain starts afresh
  EXPECT_NO_THROW(log.WriteLog(1, "x"));
}

}  // namespace
}  // namespace velmora
