// The terminal player fed on standard input: the screen as it changes, a person's steps,
// and timers that fire on real time while it waits for input.
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <cstdlib>

#include <chrono>
#include <thread>

#include "base/steady_clock.h"
#include "console/screen_text.h"
#include "console/terminal_player.h"
#include "console_fixture.h"
#include "base/game.h"
#include "story/page_loader.h"
#include "story/page_state.h"

namespace velmora {
namespace {

class TerminalTest : public testing::ConsoleTest {
 protected:
  TerminalTest() {
    tg.platform.clock = &clock;
    EXPECT_EQ(pipe(fds), 0);
  }
  ~TerminalTest() override {
    if (fds[1] >= 0) close(fds[1]);
    close(fds[0]);
  }
  void Type(const std::string& text) { ASSERT_EQ(write(fds[1], text.data(), text.size()), ssize_t(text.size())); }
  void EndInput() {
    close(fds[1]);
    fds[1] = -1;
  }
  bool Printed(const std::string& line) {
    const auto lines = Transcript();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  SteadyClock clock;
  int fds[2] = {-1, -1};
};

TEST_F(TerminalTest, PlaysWhatAPersonTypesUntilTheInputEnds) {
  Game& game = Make(
      "[hall]\ntextsize=1\nLine0=The hall.\nActionsCount=2\n"
      "Action0.Script=go_north\nAction0.LinesCount=1\nAction0.Line0=North\n"
      "Action1.Script=go_south\nAction1.LinesCount=1\nAction1.Line0=South\n");
  LoadPage(game, "hall");
  Type("2\nfly away\nchoose none\n");
  EndInput();
  RunTerminal(game, dialogs, fds[0], out);
  // As a reader wants it: no labels, the choices numbered below the text.
  const std::vector<std::string> screen = {"The hall.", "", "  1. North", "  2. South"};
  const auto lines = Transcript();
  EXPECT_NE(std::search(lines.begin(), lines.end(), screen.begin(), screen.end()), lines.end());
  EXPECT_TRUE(Printed("unknown step: fly away (type help for the steps)"));
  EXPECT_TRUE(Logged("Error:Script Error! Script go_south not found!"));
  EXPECT_FALSE(game.CloseRequested());  // the end of input ends the game as the close box does
}

// Escape sequences in a story could retitle the terminal, clear it or write the clipboard.
TEST_F(TerminalTest, ControlCharactersFromTheGameAreShownAsEscapes) {
  Game& game = Make(
      "[hall]\ntextsize=1\nLine0=\x1b]0;owned\x07Hall \xc2\x9b" "2J\xff\nActionsCount=1\n"
      "Action0.Script=x\nAction0.LinesCount=1\nAction0.Line0=\x1b]52;c;aGk=\x1b\\North\n");
  game.codec.SetGameIsUtf8(true);
  LoadPage(game, "hall");
  dialogs.ShowMessage("one\r\ntwo\x1b[2J");
  EndInput();
  RunTerminal(game, dialogs, fds[0], out);
  EXPECT_EQ(out.str().find('\x1b'), std::string::npos);
  EXPECT_TRUE(Printed("\\x1B]0;owned\\x07Hall \\u009B2J\\xFF"));
  EXPECT_TRUE(Printed("  1. \\x1B]52;c;aGk=\\x1B\\North"));
  EXPECT_TRUE(Printed("message: one"));  // a line break in a box is a line of the box
  EXPECT_TRUE(Printed("  two\\x1B[2J"));
}

// A page that moves on by itself after 100 ms.
const char kTimedPage[] =
      "[a]\ntextsize=1\nLine0=Waiting.\nPage.Cutscene=1\nPage.Delay=100\nPage.Action=$goto\nPage.Param=b\n"
      "[b]\ntextsize=1\nLine0=Moved on.\n";

TEST_F(TerminalTest, ACutsceneMovesOnWhileNothingIsTyped) {
  Game& game = Make(kTimedPage);
  LoadPage(game, "a");
  std::thread person([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    Type("quit\n");
  });
  RunTerminal(game, dialogs, fds[0], out);
  person.join();
  EXPECT_EQ(game.page->currentPage, "b");
  EXPECT_TRUE(Printed("Waiting."));
  EXPECT_TRUE(Printed("Moved on."));
  EXPECT_TRUE(game.CloseRequested());
}

TEST_F(TerminalTest, WaitLetsRealTimePass) {
  Game& game = Make(
      "[a]\nPage.Cutscene=1\nPage.Delay=50\nPage.Action=$goto\nPage.Param=b\n"
      "[b]\nPage.Cutscene=1\nPage.Delay=50\nPage.Action=$exit\n");
  LoadPage(game, "a");
  Type("wait 5000\nshow\n");
  EndInput();
  const auto start = std::chrono::steady_clock::now();
  RunTerminal(game, dialogs, fds[0], out);
  // The page action $exit ends the wait and the game long before the 5 seconds.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_TRUE(game.CloseRequested());
  EXPECT_EQ(game.page->currentPage, "b");
}

// A person at a terminal: the prompt comes back below a page that moved on by itself.
TEST_F(TerminalTest, ThePromptComesBackAfterATimedPageChange) {
  int master = -1, slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  Game& game = Make(kTimedPage);
  LoadPage(game, "a");
  std::thread person([master] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(write(master, "quit\n", 5), 5);
  });
  RunTerminal(game, dialogs, slave, out);
  person.join();
  close(master);
  close(slave);
  const std::string printed = out.str();
  const size_t moved = printed.find("Moved on.\n");
  ASSERT_NE(moved, std::string::npos) << printed;
  EXPECT_NE(printed.find("> ", moved), std::string::npos) << printed;
  EXPECT_LT(printed.find("> "), printed.find("Moved on.")) << printed;  // there before it, too
}

// The terminal's own commands: a list of saves, quick save and load, the picture on asking.
TEST_F(TerminalTest, QuickSaveAndLoadAndTheListOfSaves) {
  testing::TempDir data;
  setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  Game& game = Make("[a]\ntextsize=1\nLine0=A page.\nQuestPicture=door.bmp\n");
  LoadPage(game, "a");
  Type("saves\nqs\nsaves\nql\npicture\nhelp\n");
  EndInput();
  RunTerminal(game, dialogs, fds[0], out);
  unsetenv("XDG_DATA_HOME");
  EXPECT_TRUE(Printed("no saves yet: qs saves quickly, save N into slot N")) << out.str();
  EXPECT_TRUE(Printed("saved: the quick slot")) << out.str();
  EXPECT_TRUE(Printed("loaded: the quick slot")) << out.str();
  const auto lines = Transcript();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("  quick  A page.  (", 0) == 0; }))
      << out.str();
  EXPECT_TRUE(Printed("(picture: none)")) << out.str();
  EXPECT_FALSE(Printed("picture: none"));  // never unasked
  EXPECT_TRUE(Printed("Type the number of a choice to take it. Other commands:"));
}

TEST(WrapTextTest, BreaksAtBlanksWithinTheWidthCountingCharacters) {
  const struct {
    const char* text;
    int width;
    std::vector<std::string> lines;
  } cases[] = {
      {"one two three", 80, {"one two three"}},
      {"aaaa bbbb cccc dddd eeee", 10, {"aaaa bbbb", "cccc dddd", "eeee"}},
      {"дом дом дом", 10, {"дом дом", "дом"}},  // characters, not bytes
      {"abcdefghijklmnop", 10, {"abcdefghij", "klmnop"}},
      {"", 10, {""}},
      {"  spaced   out  ", 80, {"spaced out"}},
  };
  for (const auto& c : cases) EXPECT_EQ(WrapText(c.text, c.width), c.lines) << c.text;
  EXPECT_EQ(WrapText("aaaa bbbb cccc", 14, "    "), (std::vector<std::string>{"    aaaa bbbb", "    cccc"}));
}

}  // namespace
}  // namespace velmora
