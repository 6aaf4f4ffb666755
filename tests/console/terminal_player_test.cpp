// The terminal player fed on standard input: the screen as it changes, a person's steps,
// and timers that fire on real time while it waits for input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "base/steady_clock.h"
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
  const std::vector<std::string> screen = {"caption: ", "picture: none", "text:", "  | The hall.",
                                           "choices:",  "  1. North",     "  2. South"};
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
  EXPECT_TRUE(Printed("  | \\x1B]0;owned\\x07Hall \\u009B2J\\xFF"));
  EXPECT_TRUE(Printed("  1. \\x1B]52;c;aGk=\\x1B\\North"));
  EXPECT_TRUE(Printed("message: one"));  // a line break in a box is a line of the box
  EXPECT_TRUE(Printed("  two\\x1B[2J"));
}

TEST_F(TerminalTest, ACutsceneMovesOnWhileNothingIsTyped) {
  Game& game = Make(
      "[a]\ntextsize=1\nLine0=Waiting.\nPage.Cutscene=1\nPage.Delay=100\nPage.Action=$goto\nPage.Param=b\n"
      "[b]\ntextsize=1\nLine0=Moved on.\n");
  LoadPage(game, "a");
  std::thread person([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    Type("quit\n");
  });
  RunTerminal(game, dialogs, fds[0], out);
  person.join();
  EXPECT_EQ(game.page->currentPage, "b");
  EXPECT_TRUE(Printed("  | Waiting."));
  EXPECT_TRUE(Printed("  | Moved on."));
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

}  // namespace
}  // namespace velmora
