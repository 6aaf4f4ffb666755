// The command line: options in both forms, the game's own arguments, and "--".
#include <gtest/gtest.h>

#include "console/program_options.h"

namespace velmora {
namespace {

using Args = std::vector<std::string>;

TEST(ProgramOptionsTest, OptionsAndTheGamesOwnArguments) {
  ProgramOptions o;
  std::string error;
  ASSERT_TRUE(ParseProgramOptions({"debug", "--game=/g", "--text", "x", "--codepage", "KOI8-R", "--no-audio"}, o,
                                  error))
      << error;
  EXPECT_EQ(o.mode, ProgramOptions::Mode::kText);
  EXPECT_EQ(o.gameFolder, "/g");
  EXPECT_EQ(o.codePage, "KOI8-R");
  EXPECT_TRUE(o.noAudio);
  EXPECT_EQ(o.gameArgs, (Args{"debug", "x"}));

  ProgramOptions p;
  ASSERT_TRUE(ParseProgramOptions({"--replay", "r.replay", "--", "--text", "-v"}, p, error)) << error;
  EXPECT_EQ(p.mode, ProgramOptions::Mode::kReplay);
  EXPECT_EQ(p.replayFile, "r.replay");
  EXPECT_EQ(p.gameArgs, (Args{"--text", "-v"}));

  ProgramOptions q;
  ASSERT_TRUE(ParseProgramOptions({}, q, error));
  EXPECT_EQ(q.mode, ProgramOptions::Mode::kWindows);
  EXPECT_EQ(q.codePage, "WINDOWS-1251");
  EXPECT_TRUE(q.gameFolder.empty());
  EXPECT_FALSE(q.copyGame);

  ProgramOptions r;
  ASSERT_TRUE(ParseProgramOptions({"--library", "--copy"}, r, error)) << error;
  EXPECT_EQ(r.mode, ProgramOptions::Mode::kLibrary);
  EXPECT_TRUE(r.copyGame);

  ProgramOptions w;
  ASSERT_TRUE(ParseProgramOptions({"--export-web", "/g", "/site", "--codepage", "KOI8-R"}, w, error)) << error;
  EXPECT_EQ(w.mode, ProgramOptions::Mode::kExportWeb);
  EXPECT_EQ(w.exportWebGame, "/g");
  EXPECT_EQ(w.gameArgs, (Args{"/site"}));
}

TEST(ProgramOptionsTest, Refusals) {
  const struct {
    Args args;
    const char* error;
  } cases[] = {
      {{"--help=yes"}, "--help takes no value"},
      {{"--replay="}, "--replay needs a value"},
      {{"--soundfont"}, "--soundfont needs a value"},
      {{"--check", "--text"}, "--text cannot be combined with --text, --replay, --check, --library, --map, --coverage or --export-web"},
      {{"--library", "--replay=r"}, "--replay cannot be combined with --text, --replay, --check, --library, --map, --coverage or --export-web"},
      {{"--library", "--game", "/g"}, "--library cannot be combined with --game"},
      {{"--codepage=NOPE-1"}, "unknown code page: NOPE-1"},
      {{"--export-web", "/g"}, "--export-web needs the game folder and the folder to write the site to"},
      {{"--export-web", "/g", "/a", "/b"}, "--export-web needs the game folder and the folder to write the site to"},
      {{"--fullscreen"}, "unknown option: --fullscreen"},
      {{"--coverage"}, "--coverage needs at least one replay file"},
      {{"--coverage", "--game", "g"}, "--coverage needs at least one replay file"},
      {{"--coverage", "a", "--map"}, "--map with --coverage needs a FILE (the table goes to standard output)"},
      {{"--map", "--check"}, "--check cannot be combined with --text, --replay, --check, --library, --map, --coverage or --export-web"},
  };
  for (const auto& c : cases) {
    ProgramOptions o;
    std::string error;
    EXPECT_FALSE(ParseProgramOptions(c.args, o, error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
}  // namespace velmora
