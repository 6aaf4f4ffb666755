// Replays and the terminal player on a game whose choices run scripts: input prompts
// answered from the queue or typed inline, message boxes, and the text the answer shows in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "console/replay_runner.h"
#include "console/terminal_player.h"
#include "console_fixture.h"
#include "script/script_library.h"
#include "base/game.h"
#include "story/page_loader.h"
#include "story/page_state.h"

namespace velmora {
namespace {

using Lines = std::vector<std::string>;

class ScriptedGameTest : public testing::ConsoleTest {
 protected:
  Game& MakeGame() {
    tg.dir.Write("Scripts/Scripts.bsf",
                 "___script ask $string.new name $string.get name ask $showmessage thanks $goto greet ___end\n");
    tg.dir.Write("Scripts/messages.ini", "[Messages]\nask=Your name?\nthanks=Thank you.\n");
    Game& game = Make(
        "[start]\nActionsCount=1\nAction0.Script=ask\nAction0.LinesCount=1\nAction0.Line0=Sign the book\n"
        "[greet]\ntextsize=1\nLine0=Welcome, $_name!\n");
    LoadScriptLibrary(game);
    LoadPage(game, "start");
    return game;
  }
  Lines Replay(const std::string& text) {
    std::istringstream file(text);
    std::vector<Step> steps;
    std::vector<std::string> errors;
    EXPECT_TRUE(ReadReplay(file, steps, errors));
    ReplayRunner(tg.game(), tg.clock, dialogs, out).Run(steps);
    return Transcript();
  }
};

TEST_F(ScriptedGameTest, AReplayAnswersThePromptFromItsQueue) {
  MakeGame();
  // Cancel gives the empty text, so the prompt comes back for the second answer.
  EXPECT_EQ(Replay("answer cancel\nanswer Ника\nchoose 1\nshow\n"), (Lines{
                                                                           "> answer cancel",
                                                                           "> answer Ника",
                                                                           "> choose 1",
                                                                           "input: Your name?",
                                                                           "answer: (cancel)",
                                                                           "input: Your name?",
                                                                           "answer: Ника",
                                                                           "message: Thank you.",
                                                                           "> show",
                                                                           "caption: ",
                                                                           "picture: none",
                                                                           "text:",
                                                                           "  | Welcome, Ника!",
                                                                           "choices: (none)",
                                                                       }));
}

TEST_F(ScriptedGameTest, APromptWithNoAnswerQueuedIsCancelledOnceAndTheScriptGoesOn) {
  Game& game = MakeGame();
  EXPECT_EQ(Replay("choose 1\n"), (Lines{
                                      "> choose 1",
                                      "input: Your name?",
                                      "answer: (cancel, no answer queued)",
                                      "message: Thank you.",
                                  }));
  EXPECT_EQ(game.page->currentPage, "greet");
}

TEST_F(ScriptedGameTest, TheTerminalAsksInline) {
  Game& game = MakeGame();
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string typed = "1\n\nНика\nshow\n";  // an empty line cancels: asked again
  ASSERT_EQ(write(fds[1], typed.data(), typed.size()), ssize_t(typed.size()));
  close(fds[1]);
  RunTerminal(game, dialogs, fds[0], out);
  close(fds[0]);
  const Lines lines = Transcript();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "input: Your name?"), 2);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "message: Thank you."), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Welcome, Ника!"), lines.end());
}

TEST_F(ScriptedGameTest, TheTerminalStopsAskingWhenTheInputEnds) {
  Game& game = MakeGame();
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_EQ(write(fds[1], "1\n", 2), 2);
  close(fds[1]);
  RunTerminal(game, dialogs, fds[0], out);
  close(fds[0]);
  const Lines lines = Transcript();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "input: Your name?"), 1);
  EXPECT_EQ(game.page->currentPage, "greet");
}

}  // namespace
}  // namespace velmora
