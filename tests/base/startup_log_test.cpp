// The run's log: line form per level, and the saved file.
#include "base/startup_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "base/virtual_clock.h"
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
