// The choice list (filling, heights, drawing, choosing) and the two page timers.
#include <gtest/gtest.h>

#include "base/main_window_state.h"
#include "story/choice_menu.h"
#include "story/page_loader.h"
#include "story/page_state.h"
#include "story_fixture.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

using testing::Keys;
using testing::StoryTest;
using Lines = std::vector<std::string>;

class ChoiceMenuTest : public StoryTest {
 protected:
  // A page whose actions 0 and 2 are enabled and 1 is disabled.
  void WriteChoicePage(const Keys& extra = {}) {
    Keys keys = {{"ActionsCount", "3"},
                 {"Action0.Script", "first"},
                 {"Action0.LinesCount", "3"},
                 {"Action0.Line0", "\"Run!\" she cries."},
                 {"Action0.Line1", "You have $_gold gold."},
                 {"Action0.Line2", "third"},
                 {"Action1.Script", "second"},
                 {"Action1.Enabled", "0"},
                 {"Action1.LinesCount", "1"},
                 {"Action1.Line0", "hidden"},
                 {"Action2.Script", "third"},
                 {"Action2.LinesCount", "4"},
                 {"Action2.Line0", "a"},
                 {"Action2.Line1", "b"},
                 {"Action2.Line2", "c"},
                 {"Action2.Line3", "d"}};
    keys.insert(keys.end(), extra.begin(), extra.end());
    WriteStory({{"menu", keys},
                {"start", {{"textsize", "1"}, {"Line0", "start page"}}},
                {"saved", {{"textsize", "0"}}},
                {"yard", {{"textsize", "0"}}}});
    WriteScripts(
        "___script first $goto yard ___end\r\n"
        "___script second $goto start ___end\r\n"
        "___script third $goto saved ___end\r\n");
  }
};

TEST_F(ChoiceMenuTest, ListShowsEnabledActionsWithTheirHeights) {
  WriteChoicePage();
  Game& g = Make();
  LoadPage(g, "menu");
  ASSERT_EQ(g.mainWindow->choiceItems.size(), 2u);
  EXPECT_EQ(g.mainWindow->choiceItems[1], "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(g.mainWindow->selectedChoice, -1);
  EXPECT_EQ(ChoiceHeight(g, 0, 16), 48);
  EXPECT_EQ(ChoiceHeight(g, 1, 16), 64);  // four lines, whatever the font size
  EXPECT_EQ(ChoiceHeight(g, -1, 16), 16);
}

TEST_F(ChoiceMenuTest, ActionWithoutLinesIsAnEmptyItem) {
  WriteStory({{"p", {{"ActionsCount", "1"}, {"Action0.Script", "s"}}}});
  Game& g = Make();
  LoadPage(g, "p");
  EXPECT_EQ(g.mainWindow->choiceItems, (Lines{""}));
  EXPECT_EQ(ChoiceHeight(g, 0, 16), 0);
  EXPECT_TRUE(ChoiceLinesToDraw(g, 0).empty());
}

// Drawn lines lose their double quotes and have their references substituted, at every
// drawing; the item keeps its text as read.
TEST_F(ChoiceMenuTest, DrawingRemovesQuotesAndSubstitutes) {
  WriteChoicePage();
  Game& g = Make();
  g.vars->NewIntVar("gold", 12);
  LoadPage(g, "menu");
  EXPECT_EQ(ChoiceLinesToDraw(g, 0), (Lines{"Run! she cries.", "You have 12 gold.", "third"}));
  g.vars->SetIntValue(g.vars->FindVar("gold", false), 13);
  EXPECT_EQ(ChoiceLinesToDraw(g, 0)[1], "You have 13 gold.");
  EXPECT_EQ(g.mainWindow->choiceItems[0], "\"Run!\" she cries.\r\nYou have $_gold gold.\r\nthird\r\n");
}

// Line a of an item is drawn after a + 1 substitutions, and no more lines are drawn than
// the item has, even when a value adds line breaks.
TEST_F(ChoiceMenuTest, DrawingRepeatsTheSubstitutionPerLine) {
  WriteStory({{"p",
               {{"ActionsCount", "1"},
                {"Action0.LinesCount", "3"},
                {"Action0.Line0", "$_outer"},
                {"Action0.Line1", "$_outer"},
                {"Action0.Line2", "$_split"}}}});
  Game& g = Make();
  g.vars->NewStrVar("inner", "\"deep\"");
  g.vars->NewStrVar("outer", "$_inner");  // brings in an earlier variable: replaced a pass later
  g.vars->NewStrVar("split", "one\r\ntwo");
  LoadPage(g, "p");
  // Line 2 is taken from the third pass: "one", though the value made the text four lines.
  EXPECT_EQ(ChoiceLinesToDraw(g, 0), (Lines{"$_inner", "\"deep\"", "one"}));
}

TEST_F(ChoiceMenuTest, FontIsReadFromConfigAtEveryDrawing) {
  WriteChoicePage();
  Game& g = Make();
  ChoiceFont font = ChoiceDrawingFont(g);
  EXPECT_EQ(font.name, "MS Sans Serif");
  EXPECT_EQ(font.size, 10);
  WriteConfig("[Start]\r\nStartPage=start\r\n[Font]\r\nName=Tahoma\r\nSize=14\r\n");
  font = ChoiceDrawingFont(g);
  EXPECT_EQ(font.name, "Tahoma");
  EXPECT_EQ(font.size, 14);
}

// The k-th item chooses the k-th enabled action.
TEST_F(ChoiceMenuTest, DoubleClickRunsTheChosenAction) {
  WriteChoicePage();
  Game& g = Make();
  for (auto [item, page] : {std::pair{0, "yard"}, std::pair{1, "saved"}}) {
    LoadPage(g, "menu");
    g.mainWindow->selectedChoice = item;
    ChooseHighlightedAction(g);
    EXPECT_EQ(g.page->currentPage, page);
  }
}

// A double-click always stops the fast-answer timer, even with nothing selected; the page
// action timer runs on.
TEST_F(ChoiceMenuTest, DoubleClickStopsOnlyTheFastAnswerTimer) {
  WriteChoicePage({{"Page.Cutscene", "1"}, {"Page.Delay", "1000"}, {"Page.RequireFastAnswer", "1"},
                   {"Page.AnswerTime", "500"}});
  Game& g = Make();
  LoadPage(g, "menu");
  ChooseHighlightedAction(g);  // below the last item: nothing selected
  EXPECT_EQ(g.page->currentPage, "menu");
  EXPECT_FALSE(g.answerTimer.Enabled());
  EXPECT_TRUE(g.pageActionTimer.Enabled());

  LoadPage(g, "menu");
  EXPECT_TRUE(g.answerTimer.Enabled());
  g.mainWindow->selectedChoice = 0;
  ChooseHighlightedAction(g);
  EXPECT_EQ(g.page->currentPage, "yard");
  EXPECT_FALSE(g.answerTimer.Enabled());
  EXPECT_TRUE(g.pageActionTimer.Enabled());
}

TEST_F(ChoiceMenuTest, PageActions) {
  struct Case {
    const char* action;
    const char* param;
    const char* config;
    const char* expectedPage;  // nullptr: the page stays "menu"
    bool closes;
  };
  const Case cases[] = {
      {"$goto", "yard", "", "yard", false},
      {"$GoTo", "yard", "", "yard", false},
      {"$run", "third", "", "saved", false},
      {"$start", "yard", "[Start]\r\nStartPage=start\r\n", "start", false},
      {"$start", "yard", "", "gamestart", false},
      {"$load", "yard", "[Start]\r\nStartPage=start\r\n[GameLoad]\r\nPage=saved\r\n", "saved", false},
      {"$load", "yard", "[Start]\r\nStartPage=start\r\n", "start", false},
      {"$load", "yard", "", "gamestart", false},
      {"$EXIT", "nil", "", nullptr, true},
      {"$player.playtrack", "theme", "", nullptr, false},
      {"$player.playsound", "bell", "", nullptr, false},
      {"nil", "yard", "", nullptr, false},
      {"$gotoyard", "yard", "", nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.action) + " " + c.param);
    WriteConfig(c.config);
    WriteChoicePage({{"Page.Cutscene", "1"}, {"Page.Delay", "100"}, {"Page.Action", c.action},
                     {"Page.Param", c.param}});
    Game& g = Make();
    LoadPage(g, "menu");
    t.clock.Advance(100);
    g.timers.FireDue();
    EXPECT_EQ(g.page->currentPage, c.expectedPage ? c.expectedPage : "menu");
    EXPECT_EQ(g.CloseRequested(), c.closes);
    EXPECT_FALSE(g.pageActionTimer.Enabled());
  }
}

TEST_F(ChoiceMenuTest, FastAnswerRunsItsScriptOnce) {
  WriteChoicePage({{"Page.RequireFastAnswer", "1"}, {"Page.AnswerTime", "500"}, {"Page.FastScript", "FIRST"}});
  Game& g = Make();
  LoadPage(g, "menu");
  t.clock.Advance(500);
  g.timers.FireDue();
  EXPECT_EQ(g.page->currentPage, "yard");
  EXPECT_FALSE(g.answerTimer.Enabled());
}

TEST_F(ChoiceMenuTest, FastAnswerWithoutScriptLogsTheNameNil) {
  WriteChoicePage({{"Page.RequireFastAnswer", "1"}, {"Page.AnswerTime", "500"}});
  Game& g = Make();
  LoadPage(g, "menu");
  const size_t from = LogSize();
  t.clock.Advance(500);
  g.timers.FireDue();
  EXPECT_EQ(Messages(from), (Lines{"Error:Script Error! Script nil not found!"}));
}

}  // namespace
}  // namespace velmora
