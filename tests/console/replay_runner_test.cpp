// The replay runner on small game folders: the transcript, timers on the virtual clock,
// choosing, answers, `show` and the end of a replay.
#include <gtest/gtest.h>

#include <sstream>

#include "console/replay_runner.h"
#include "console_fixture.h"
#include "base/game.h"
#include "base/main_window_state.h"
#include "run/startup.h"
#include "story/page_loader.h"
#include "story/page_state.h"

namespace velmora {
namespace {

using Lines = std::vector<std::string>;

class ReplayTest : public testing::ConsoleTest {
 protected:
  // Runs replay text on the game as it is, returning the transcript's lines.
  Lines Play(const std::string& replay) {
    std::istringstream file(replay);
    std::vector<Step> steps;
    std::vector<std::string> errors;
    EXPECT_TRUE(ReadReplay(file, steps, errors)) << (errors.empty() ? "" : errors.front());
    ReplayRunner runner(tg.game(), tg.clock, dialogs, out);
    runner.Run(steps);
    return Transcript();
  }
  // The log messages among `wanted`, in the order they were written.
  Lines Among(const Lines& wanted) {
    Lines seen;
    for (const std::string& m : Messages())
      if (std::find(wanted.begin(), wanted.end(), m) != wanted.end()) seen.push_back(m);
    return seen;
  }
};

// A cutscene that moves on after 1000 ms, with a fast answer due at 400 ms; the next page
// is a cutscene of 500 ms.
const char kTimedStory[] =
    "[a]\nPage.Cutscene=1\nPage.Delay=1000\nPage.Action=$goto\nPage.Param=b\n"
    "Page.RequireFastAnswer=1\nPage.AnswerTime=400\nPage.FastScript=too_slow\n"
    "[b]\nPage.Cutscene=1\nPage.Delay=500\nPage.Action=$GOTO\nPage.Param=c\n"
    "[c]\ntextsize=1\nLine0=the end\n";
const Lines kTimedEvents = {"Error:Script Error! Script too_slow not found!", "Loading Page: b", "Loading Page: c"};

TEST_F(ReplayTest, TimersFireInTimeOrderAsVirtualTimePasses) {
  Game& game = Make(kTimedStory);
  LoadPage(game, "a");
  Play("wait 399\n");
  EXPECT_FALSE(Logged("Error:Script Error! Script too_slow not found!"));
  Play("wait 600\n");  // at 999: the fast answer has run, the page action not yet
  EXPECT_EQ(game.page->currentPage, "a");
  Play("wait 1\nwait 499\n");
  EXPECT_EQ(game.page->currentPage, "b");
  Play("wait 1\n");
  EXPECT_EQ(game.page->currentPage, "c");
  EXPECT_EQ(tg.clock.NowMs(), 1500);
  EXPECT_EQ(Among(kTimedEvents), kTimedEvents);
}

TEST_F(ReplayTest, OneLongWaitFiresTheSameTimersInTheSameOrder) {
  Game& game = Make(kTimedStory);
  LoadPage(game, "a");
  Play("wait 60000\n");
  EXPECT_EQ(game.page->currentPage, "c");
  EXPECT_EQ(Among(kTimedEvents), kTimedEvents);
  EXPECT_EQ(tg.clock.NowMs(), 60000);
}

const char kChoiceStory[] =
    "[hall]\nActionsCount=3\n"
    "Action0.Script=go_north\nAction0.LinesCount=1\nAction0.Line0=North\n"
    "Action1.Script=go_secret\nAction1.Enabled=0\nAction1.LinesCount=1\nAction1.Line0=Secret\n"
    "Action2.Script=go_south\nAction2.LinesCount=1\nAction2.Line0=South\n"
    "Page.RequireFastAnswer=1\nPage.AnswerTime=500\nPage.FastScript=too_slow\n";

TEST_F(ReplayTest, ChooseCountsTheListedChoicesFromOne) {
  Game& game = Make(kChoiceStory);
  LoadPage(game, "hall");
  Play("choose 2\n");
  EXPECT_TRUE(Logged("Error:Script Error! Script go_south not found!"));
  EXPECT_FALSE(Logged("Error:Script Error! Script go_secret not found!"));
  EXPECT_EQ(game.mainWindow->selectedChoice, 1);
}

TEST_F(ReplayTest, ChooseNoneAndAMissingChoiceStopTheFastAnswerAndChooseNothing) {
  for (const char* step : {"choose none", "choose 3"}) {
    Game& game = Make(kChoiceStory);
    LoadPage(game, "hall");
    const size_t before = Messages().size();
    Play(std::string(step) + "\nwait 1000\n");
    EXPECT_EQ(Messages().size(), before) << step;  // no script ran, not even the fast answer's
    EXPECT_EQ(game.mainWindow->selectedChoice, -1) << step;
  }
  const Lines transcript = Transcript();
  EXPECT_NE(std::find(transcript.begin(), transcript.end(),
                      "(there is no choice 3: the double-click falls below the last of 2)"),
            transcript.end());
}

TEST_F(ReplayTest, ShowPrintsTheWindowAsDrawn) {
  tg.dir.Write("Images/Hall.png", "");  // found whatever the letter case
  Game& game = Make(
      "[hall]\ntextsize=2\nLine0=\xcf\xf0\xe8\xe2\xe5\xf2!\nLine1=\nQuestPicture=hall.png\nActionsCount=2\n"
      "Action0.Script=a\nAction0.LinesCount=2\nAction0.Line0=Say \"hi\"\nAction0.Line1=  and wave\n"
      "Action1.Script=b\nAction1.LinesCount=0\n");
  game.mainWindow->caption = "\xc4\xee\xec";  // what start-up takes from config.ini
  LoadPage(game, "hall");
  EXPECT_EQ(Play("show\n"), (Lines{
                                "> show",
                                "caption: Дом",
                                "picture: hall.png",
                                "text:",
                                "  | Привет!",
                                "  | ",
                                "choices:",
                                "  1. Say hi",
                                "     and wave",
                                "  2. ",
                            }));
}

TEST_F(ReplayTest, AnEmptyWindowSaysSo) {
  Make("[empty]\n");
  EXPECT_EQ(Play("show\n"), (Lines{"> show", "caption: ", "picture: none", "text: (empty)", "choices: (none)"}));
}

TEST_F(ReplayTest, ATimersFaultIsPrintedWhenItHappens) {
  tg.dir.Write("Images/pic.xyz", "");
  Game& game = Make(
      "[start]\nPage.Cutscene=1\nPage.Delay=100\nPage.Action=$goto\nPage.Param=bad\n"
      "[bad]\ntextsize=1\nLine0=shown before the picture\nQuestPicture=pic.xyz\n");
  game.mainWindow->caption = "Test";
  LoadPage(game, "start");
  EXPECT_EQ(Play("show\nwait 150\nshow\n"), (Lines{
                                                 "> show",
                                                 "caption: Test",
                                                 "picture: none",
                                                 "text: (empty)",
                                                 "choices: (none)",
                                                 "> wait 150",
                                                 "error: Unknown picture file extension (.xyz).",
                                                 "> show",
                                                 "caption: Test",
                                                 "picture: none",
                                                 "text:",
                                                 "  | shown before the picture",
                                                 "choices: (none)",
                                             }));
}

TEST_F(ReplayTest, QuitEndsTheStepsAndSaysHowManyWereLeft) {
  Make("[a]\n");
  EXPECT_EQ(Play("quit\nshow\nwait 10\n"), (Lines{"> quit", "(the window has closed: 2 step(s) not run)"}));
  EXPECT_TRUE(tg.game().CloseRequested());
}

TEST_F(ReplayTest, APageActionThatExitsStopsTheTimersAndTheSteps) {
  Game& game = Make(
      "[a]\nPage.Cutscene=1\nPage.Delay=100\nPage.Action=$Exit\n"
      "Page.RequireFastAnswer=1\nPage.AnswerTime=200\nPage.FastScript=too_late\n");
  LoadPage(game, "a");
  EXPECT_EQ(Play("wait 1000\nshow\n"), (Lines{"> wait 1000", "(the window has closed: 1 step(s) not run)"}));
  EXPECT_TRUE(game.CloseRequested());
  EXPECT_FALSE(Logged("Error:Script Error! Script too_late not found!"));
  EXPECT_EQ(tg.clock.NowMs(), 100);
}

TEST_F(ReplayTest, InputDialogsTakeQueuedAnswersInOrder) {
  Game& game = Make("[a]\n");
  Play("answer Ника\nanswer cancel\n");
  std::string answer = "untouched";
  EXPECT_TRUE(game.dialogs().InputQuery("Test", "Name?", answer));
  EXPECT_EQ(answer, "\xcd\xe8\xea\xe0");  // back in the game's code page
  EXPECT_FALSE(game.dialogs().InputQuery("Test", "Again?", answer));
  EXPECT_FALSE(game.dialogs().InputQuery("Test", "Once more?", answer));
  game.dialogs().ShowMessage("two\r\nlines");
  EXPECT_EQ(Transcript(), (Lines{
                              "> answer Ника",
                              "> answer cancel",
                              "input: Name?",
                              "answer: Ника",
                              "input: Again?",
                              "answer: (cancel)",
                              "input: Once more?",
                              "answer: (cancel, no answer queued)",
                              "message: two",
                              "  lines",
                          }));
}

TEST_F(ReplayTest, InventoryAndAudioStepsWorkTheirWindowsAndShowThem) {
  tg.dir.Write("Images/default.jpg", "");
  tg.dir.Write("Scripts/inventory.inv",
               "[Inventory]\nTotalItems=1\n[Item0]\nName=lamp\nDisplayName=Lamp\nCount=2\nMaxCount=5\n"
               "Enabled=1\nLinesCount=1\nLine0=A brass lamp.\nScript=light\n");
  Game& game = Make("[a]\n", "[GameForm]\nCaption=Test\n[Sound]\nVolume=50\n");
  CreateToolWindows(game);
  const Lines transcript =
      Play("inventory\ninventory select 1\ninventory use\ninventory close\ninventory select 1\n"
           "audio volume 30\naudio\naudio volume 130\naudio ok\n");
  auto at = [&](const std::string& step) {
    return std::find(transcript.begin(), transcript.end(), "> " + step) - transcript.begin();
  };
  auto after = [&](const std::string& step, int k) { return transcript.at(static_cast<size_t>(at(step) + k)); };
  EXPECT_EQ(after("inventory", 1).rfind("inventory: shown at ", 0), 0u);
  EXPECT_EQ(after("inventory select 1", 3), "> 1. Lamp");
  EXPECT_EQ(after("inventory select 1", 6), "Кол-во: 2\\5");
  EXPECT_TRUE(Logged("Error:Script Error! Script light not found!"));  // used: its script runs
  EXPECT_EQ(after("inventory close", 1), "inventory: hidden");
  EXPECT_EQ(after("audio volume 30", 1), "Audio options (hidden)");  // a hidden window takes no input
  EXPECT_EQ(after("audio volume 30", 2), "Volume: 50 (0..100)");
  EXPECT_EQ(after("audio volume 130", 2), "Volume: 100 (0..100)");
  EXPECT_EQ(after("audio ok", 1), "Audio options (hidden)");
  EXPECT_EQ(game.config->ReadInteger("Sound", "Volume", 0), 100);
}

}  // namespace
}  // namespace velmora
