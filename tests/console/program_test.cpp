// The program as players and authors run it: its command line, a replay from start-up to
// shutdown, the terminal player on standard input, and the story checker.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/test_game.h"
#include "test_player.h"

namespace velmora {
namespace {

struct Outcome {
  std::string output;  // standard output and standard error together
  int status = -1;
};

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    game.Write("config.ini", "[GameForm]\nCaption=Program Test\n");
    game.Write("music.lst", "");
    game.Write("Scripts/messages.ini", "[Messages]\n");
    game.Write("story.qst",
               "[gamestart]\ntextsize=1\nLine0=The start.\nActionsCount=1\n"
               "Action0.Script=nowhere\nAction0.LinesCount=1\nAction0.Line0=Go\n");
  }
  // Runs the program in the game folder (LastStart.log is written to the current directory).
  Outcome Player(const std::string& args, const std::string& input = "") {
    const std::string folder = game.path().string();
    if (!input.empty()) game.Write("input.txt", input);
    // The player's own folders (library, copies of games) stay in the test's folder.
    const std::string command = "cd '" + folder + "' && XDG_CONFIG_HOME='" + user.path().string() +
                                "/config' XDG_DATA_HOME='" + user.path().string() + "/data' " + environment + " '" + testing::TestPlayer() + "' " + args +
                                (input.empty() ? " </dev/null" : " <input.txt") + " 2>&1";
    Outcome run;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }
  Outcome Replay(const std::string& steps, const std::string& more = "") {
    game.Write("steps.replay", steps);
    return Player("--game . --replay steps.replay " + more);
  }
  static std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  testing::TempDir game;
  testing::TempDir user;
  std::string environment;  // more variables for the program
};

TEST_F(ProgramTest, HelpAndVersion) {
  const Outcome help = Player("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* part : {"--text", "--replay FILE", "--game DIR", "--no-audio", "--codepage NAME",
                           "--soundfont FILE", "--check", "choose none", "debug"})
    EXPECT_TRUE(Has(help.output, part)) << part;
  const Outcome version = Player("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(Has(version.output, "Velmora Player v 1.2")) << version.output;
}

TEST_F(ProgramTest, AWrongCommandLineIsRefusedBeforeAnythingRuns) {
  game.Write("bad.replay", "show\nchoose first\n");
  const struct {
    const char* args;
    const char* says;
  } cases[] = {
      {"--bogus", "unknown option: --bogus"},
      {"--text --replay steps.replay", "cannot be combined"},
      {"--game", "--game needs a value"},
      {"--game ./no-such-folder --text", "no game folder at ./no-such-folder"},
      {"--codepage NO-SUCH-CODEPAGE --text", "unknown code page"},
      {"--game . --replay missing.replay", "cannot read the replay file"},
      {"--game . --replay bad.replay", "bad.replay: line 2: "},
  };
  for (const auto& c : cases) {
    const Outcome run = Player(c.args);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_TRUE(Has(run.output, c.says)) << c.args << ": " << run.output;
  }
  EXPECT_FALSE(game.Read("LastStart.log").size());
}

TEST_F(ProgramTest, AReplayRunsFromStartUpToShutdown) {
  const Outcome run = Replay("show\nchoose 1\n");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output,
            "> show\n"
            "caption: Program Test\n"
            "picture: none\n"
            "text:\n"
            "  | The start.\n"
            "choices:\n"
            "  1. Go\n"
            "> choose 1\n");
  const std::string log = game.Read("LastStart.log");
  EXPECT_TRUE(Has(log, "Page gamestart loaded!\r\n"));
  EXPECT_TRUE(Has(log, "Error:Script Error! Script nowhere not found!\r\n"));
  EXPECT_TRUE(Has(game.Read("config.ini"), "Page=gamestart"));  // the shutdown ran when the steps ran out
}

TEST_F(ProgramTest, AConfigurationWithoutKeysGivesTheDefaults) {
  game.Write("config.ini", "; nothing set\n");
  const Outcome run = Replay("show\n");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Has(run.output, "caption: Velmora Player v1.2\n")) << run.output;
  const std::string config = game.Read("config.ini");
  EXPECT_TRUE(Has(config, "Left=240")) << config;
  EXPECT_TRUE(Has(config, "Top=100")) << config;
}

TEST_F(ProgramTest, AMissingStoryFileEndsTheProgramWithTheLogLineNamingItsPath) {
  game.Write("config.ini", "[Files]\nStoryFile=lost.qst\n");
  const Outcome run = Replay("show\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(Has(run.output, "> show"));
  const std::string log = game.Read("LastStart.log");
  EXPECT_TRUE(Has(log, "Error:Story file " + game.path().string() + "/lost.qst not found!\r\n")) << log;
}

TEST_F(ProgramTest, TheFirstGameArgumentMayBeDebugInAnyCase) {
  EXPECT_EQ(Replay("", "DEBUG").status, 0);
  EXPECT_TRUE(Has(game.Read("config.ini"), "MEMO_WIDTH"));
  game.Write("config.ini", "[GameForm]\nCaption=Program Test\n");
  EXPECT_EQ(Replay("", "-- first debug").status, 0);
  EXPECT_FALSE(Has(game.Read("config.ini"), "MEMO_WIDTH"));
}

TEST_F(ProgramTest, TheTerminalPlayerReadsStepsFromStandardInput) {
  const Outcome run = Player("--game . --text --no-audio", "1\nquit\n");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Has(run.output, "Program Test\n============\nThe start.\n\n  1. Go\n")) << run.output;
  EXPECT_TRUE(Has(game.Read("LastStart.log"), "Error:Script Error! Script nowhere not found!\r\n"));
  // The reader hears of the broken game where they look.
  EXPECT_TRUE(Has(run.output, "(the game has no script \"nowhere\"; LastStart.log says more)\n")) << run.output;
}

TEST_F(ProgramTest, TheCheckerReportsWithoutPlaying) {
  game.Write("story.qst",
             "[gamestart]\nActionsCount=1\nAction0.Script=go\nAction0.LinesCount=1\nAction0.Line0=Go\n");
  const Outcome run = Player("--game . --check");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_TRUE(Has(run.output, ": error: ")) << run.output;
  EXPECT_TRUE(Has(run.output, "\n1 error: 1 page, 0 scripts, 0 items, 0 tracks and 0 pictures checked\n"))
      << run.output;
  EXPECT_FALSE(game.Read("LastStart.log").size());
}

TEST_F(ProgramTest, WithoutAGameItSaysHowToNameOne) {
  // The program's own folder holds no game here. Without a display the library is listed
  // in the terminal (with one, its window opens).
  environment = "DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM=";
  const struct {
    const char* args;
    bool mentionsLibrary;
  } cases[] = {{"--text", false}, {"--replay steps.replay", false}, {"", true}, {"--library", true}};
  game.Write("steps.replay", "show\n");
  for (const auto& c : cases) {
    const Outcome run = Player(c.args);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_TRUE(Has(run.output, "--game DIR")) << c.args << ": " << run.output;
    EXPECT_EQ(Has(run.output, "The game library"), c.mentionsLibrary) << c.args << ": " << run.output;
  }
}

TEST_F(ProgramTest, WithoutASoundCardTheGamePlaysSilentlyUnlessSoundIsRequired) {
  environment = "SDL_AUDIODRIVER=no-such-driver";
  for (const char* args : {"--game . --text", "--game . --text --audio-fallback"}) {
    const Outcome run = Player(args, "show\nquit\n");
    EXPECT_EQ(run.status, 0) << args << ": " << run.output;
    EXPECT_FALSE(Has(run.output, "Audio initialization error")) << run.output;
    // Said once, before the first page.
    const size_t said = run.output.find("playing without sound");
    ASSERT_NE(said, std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("playing without sound", said + 1), std::string::npos) << run.output;
    EXPECT_TRUE(Has(run.output, "Program Test\n")) << run.output;
  }
  // An author who tests sound keeps the error and the end.
  const Outcome required = Player("--game . --text --require-audio", "quit\n");
  EXPECT_EQ(required.status, 1) << required.output;
  EXPECT_TRUE(Has(required.output, "system error: Audio initialization error\n")) << required.output;
  EXPECT_TRUE(Has(required.output, "without --require-audio the game plays without sound")) << required.output;
}

TEST_F(ProgramTest, ACopyIsPlayedInItsOwnFolderAndSaidSoOnce) {
  const std::string before = game.Read("config.ini");
  const Outcome first = Replay("choose 1\n", "--copy");
  EXPECT_EQ(first.status, 0) << first.output;
  EXPECT_TRUE(Has(first.output, "playing your own copy of ")) << first.output;
  EXPECT_EQ(game.Read("config.ini"), before);
  EXPECT_FALSE(std::filesystem::exists(game.path() / "LastStart.log"));
  const Outcome second = Replay("choose 1\n", "--copy");
  EXPECT_EQ(second.status, 0) << second.output;
  EXPECT_FALSE(Has(second.output, "copy")) << second.output;
  // Both runs went on in the copy, where the log and the saved page are.
  size_t copies = 0;
  for (const auto& copy : std::filesystem::directory_iterator(user.path() / "data/velmora-player/games")) {
    ++copies;
    EXPECT_TRUE(std::filesystem::exists(copy.path() / "LastStart.log"));
    EXPECT_TRUE(Has(ReadFile(copy.path() / "config.ini"), "[GameLoad]"));
  }
  EXPECT_EQ(copies, 1u);
}

// A script that runs away: a replay stops it at its command bound, the same each time; the
// terminal player asks the person after 3 seconds, and stops it when told to.
TEST_F(ProgramTest, ARunawayScriptIsBoundedInReplaysAndQuestionedInTheTerminal) {
  // Never near the command bound in real time: each round sleeps.
  game.Write("Scripts/Scripts.bsf", "___script nowhere $string.new s $while $string.equal s s $sleep 1 ___end\n");
  const Outcome replay = Replay("choose 1\n", "--max-commands 1000");
  EXPECT_EQ(replay.status, 0) << replay.output;
  EXPECT_TRUE(Has(replay.output, "error: Script stopped after 1000 commands.\n")) << replay.output;

  const Outcome terminal = Player("--game . --text --no-audio", "1\ny\nquit\n");
  EXPECT_EQ(terminal.status, 0) << terminal.output;
  EXPECT_TRUE(Has(terminal.output, "question: A script of the game has been running for 3 seconds. Stop it?"))
      << terminal.output;
  EXPECT_TRUE(Has(terminal.output, "error: Script stopped by the player after 3 seconds.\n")) << terminal.output;
}

// A plug-in is native code from whoever made the game: the terminal player asks once per
// library (name and content) and remembers; --trust-plugins and replays load it unasked.
TEST_F(ProgramTest, PluginsLoadOnlyWithTheUsersConsent) {
  std::filesystem::create_directories(game.path() / "plugins");
  std::filesystem::copy_file(SAMPLE_PLUGIN_PATH, game.path() / "plugins/sample.so");
  const std::string question = "question: This game comes with the plug-in sample.so (SHA-256 ";
  const std::string refused = "Warning:Plugin sample.so not loaded: not trusted\r\n";
  const std::string loaded = " | sample.so\r\n";

  const Outcome no = Player("--game . --text --no-audio", "n\nquit\n");
  EXPECT_EQ(no.status, 0) << no.output;
  EXPECT_TRUE(Has(no.output, question)) << no.output;
  EXPECT_TRUE(Has(game.Read("LastStart.log"), refused));
  const Outcome again = Player("--game . --text --no-audio", "quit\n");
  EXPECT_FALSE(Has(again.output, "question:")) << again.output;  // the answer was remembered
  EXPECT_TRUE(Has(game.Read("LastStart.log"), refused));

  const Outcome trusted = Player("--game . --text --no-audio --trust-plugins", "quit\n");
  EXPECT_FALSE(Has(trusted.output, "question:")) << trusted.output;
  EXPECT_TRUE(Has(game.Read("LastStart.log"), loaded));
  EXPECT_EQ(Replay("show\n").status, 0);
  EXPECT_TRUE(Has(game.Read("LastStart.log"), loaded));

  std::filesystem::remove(user.path() / "config/velmora-player/plugins.ini");
  const Outcome yes = Player("--game . --text --no-audio", "yes\nquit\n");
  EXPECT_TRUE(Has(yes.output, question)) << yes.output;
  EXPECT_TRUE(Has(game.Read("LastStart.log"), loaded));
}

}  // namespace
}  // namespace velmora
