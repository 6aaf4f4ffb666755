// The command line of the author's tools: --map [FILE] and --coverage REPLAY... (their
// refusals are with the others in program_options_test.cpp).
#include <gtest/gtest.h>

#include "console/program_options.h"

namespace velmora {
namespace {

using Args = std::vector<std::string>;
using Mode = ProgramOptions::Mode;

TEST(AuthorOptionsTest, MapAndCoverage) {
  const struct {
    Args args;
    Mode mode;
    std::string mapFile;
    Args replays;
    Args gameArgs;
  } cases[] = {
      {{"--map"}, Mode::kMap, "", {}, {}},
      {{"--map", "--game", "g"}, Mode::kMap, "", {}, {}},
      {{"--map", "out.svg", "--game", "g"}, Mode::kMap, "out.svg", {}, {}},
      {{"--map=m.dot"}, Mode::kMap, "m.dot", {}, {}},
      {{"--coverage", "a.replay", "b.replay", "--game", "g"}, Mode::kCoverage, "", {"a.replay", "b.replay"}, {}},
      {{"--coverage", "a", "--map", "m.png"}, Mode::kCoverage, "m.png", {"a"}, {}},
      {{"--map", "m.svg", "--coverage", "a", "--", "x"}, Mode::kCoverage, "m.svg", {"a"}, {"x"}},
  };
  for (const auto& c : cases) {
    ProgramOptions o;
    std::string error;
    ASSERT_TRUE(ParseProgramOptions(c.args, o, error)) << error;
    EXPECT_EQ(o.mode, c.mode);
    EXPECT_EQ(o.mapFile, c.mapFile);
    EXPECT_EQ(o.coverageReplays, c.replays);
    EXPECT_EQ(o.gameArgs, c.gameArgs);
  }
}

}  // namespace
}  // namespace velmora
