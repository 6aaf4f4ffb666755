// LoadPage: the steps in order with their log lines, what the window shows, the page
// state, the timers, and where a failing picture stops the load.
#include <gtest/gtest.h>

#include "base/fault.h"
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

class PageLoaderTest : public StoryTest {};

Keys With(Keys keys, const std::string& key, const std::string& value) {
  for (auto& kv : keys)
    if (kv.first == key) kv.second = value;
  return keys;
}

const Keys kHall = {
    {"textsize", "2"},
    {"Line0", "You stand in the hall."},
    {"Line1", "  Doors lead north and south.  "},
    {"QuestPicture", "hall.png"},
    {"ActionsCount", "3"},
    {"Action0.Script", "go_north"},
    {"Action0.LinesCount", "2"},
    {"Action0.Line0", "Go north"},
    {"Action0.Line1", "\"Quietly,\" she says."},
    {"Action1.Script", "go_secret"},
    {"Action1.Enabled", "0"},
    {"Action1.LinesCount", "1"},
    {"Action1.Line0", "The secret door"},
    {"Action2.Script", "go_south"},
    {"Action2.Enabled", "false"},  // not a number: reads as the default, enabled
    {"Page.Cutscene", "1"},
    {"Page.Delay", "5000"},
    {"Page.Action", "$goto"},
    {"Page.Param", "yard"},
    {"Page.RequireFastAnswer", "1"},
    {"Page.AnswerTime", "3000"},
    {"Page.FastScript", "too_slow"},
};

TEST_F(PageLoaderTest, LoadsEveryPartOfAPageInOrder) {
  WriteStory({{"Hall", kHall}});
  t.dir.Write("Images/hall.png", "png bytes");
  Game& g = Make();
  unsigned changed = 0;
  g.mainWindow->onChanged = [&](unsigned parts) { changed |= parts; };

  LoadPage(g, "hall");

  EXPECT_EQ(Messages(), (Lines{"Loading Page: hall", "Loading Page text...", "Success!", "Loading Page image...",
                               "Sucsess!", "Loading buttons configurations...", "Starting page action...",
                               "Start fast answer timer...", "Page hall loaded!"}));
  EXPECT_EQ(g.mainWindow->storyLines, (Lines{"You stand in the hall.", "Doors lead north and south."}));
  EXPECT_EQ(g.mainWindow->choiceItems,
            (Lines{"Go north\r\n\"Quietly,\" she says.\r\n", ""}));  // action 1 disabled, action 2 has no lines
  EXPECT_EQ(decoder.decoded, (Lines{"png hall.png"}));
  ASSERT_EQ(decoder.boxes.size(), 1u);  // the picture box: the window's width, stretched
  EXPECT_EQ(decoder.boxes[0].width, MainWindowState::kDesignClientWidth);
  EXPECT_EQ(decoder.boxes[0].height, MainWindowState::kPictureHeight);
  EXPECT_EQ(decoder.boxes[0].fill, PictureBox::Fill::kStretch);
  ASSERT_TRUE(g.mainWindow->picture);
  EXPECT_EQ(g.mainWindow->pictureFile, g.gameFolder() + "\\Images\\hall.png");
  EXPECT_EQ(changed & (MainWindowState::kStoryText | MainWindowState::kStoryCaret | MainWindowState::kChoices | MainWindowState::kPicture),
            MainWindowState::kStoryText | MainWindowState::kStoryCaret | MainWindowState::kChoices | MainWindowState::kPicture);

  const PageState& page = *g.page;
  EXPECT_EQ(page.currentPage, "hall");  // as passed, not as the section is spelled
  EXPECT_EQ(page.pageAction, "$goto");
  EXPECT_EQ(page.pageParam, "yard");
  EXPECT_EQ(page.fastScript, "too_slow");
  ASSERT_EQ(page.actions.size(), 3u);
  EXPECT_EQ(page.actions[1].script, "go_secret");
  EXPECT_FALSE(page.actions[1].enabled);
  EXPECT_TRUE(page.actions[2].enabled);
  EXPECT_EQ(page.actions[0].lines, (Lines{"Go north", "\"Quietly,\" she says."}));

  EXPECT_TRUE(g.pageActionTimer.Enabled());
  EXPECT_EQ(g.pageActionTimer.Interval(), 5000u);
  EXPECT_TRUE(g.answerTimer.Enabled());
  EXPECT_EQ(g.answerTimer.Interval(), 3000u);
}

// A page with no section is an empty page that becomes current all the same; the picture
// name "nil" is looked for like any other.
TEST_F(PageLoaderTest, MissingSectionLoadsAnEmptyPage) {
  WriteStory({{"hall", kHall}});
  t.dir.Write("Images/hall.png", "png bytes");
  Game& g = Make();
  LoadPage(g, "hall");
  auto shownPicture = g.mainWindow->picture;
  const size_t from = LogSize();

  LoadPage(g, "Nowhere");

  EXPECT_EQ(Messages(from),
            (Lines{"Loading Page: Nowhere", "Loading Page text...", "Success!", "Loading Page image...",
                   "Warning:Imagefile nil not found!", "Loading buttons configurations...", "Page Nowhere loaded!"}));
  EXPECT_TRUE(g.mainWindow->storyLines.empty());
  EXPECT_TRUE(g.mainWindow->choiceItems.empty());
  EXPECT_EQ(g.mainWindow->picture, shownPicture);  // a missing picture leaves the one shown
  EXPECT_EQ(g.page->currentPage, "Nowhere");
  EXPECT_EQ(g.page->pageAction, "nil");
  EXPECT_EQ(g.page->pageParam, "nil");
  EXPECT_EQ(g.page->fastScript, "too_slow");  // set only by pages that ask for a fast answer
}

TEST_F(PageLoaderTest, PictureFileInOtherLetterCaseIsFound) {
  WriteStory({{"p", {{"QuestPicture", "Hall.PNG"}}}});
  t.dir.Write("images/HALL.png", "png bytes");
  Game& g = Make();
  g.mainWindow->width = 642;  // a narrower window: the picture spans it inside its frame
  LoadPage(g, "p");
  EXPECT_EQ(decoder.decoded, (Lines{"png HALL.png"}));
  EXPECT_EQ(decoder.boxes.at(0).width, 640);
}

// A picture that exists but cannot be loaded ends the load at the picture: text and
// choices are shown and the page action is the new page's, but no timer starts and the
// page does not become current.
TEST_F(PageLoaderTest, PictureThatFailsStopsTheLoad) {
  struct Case {
    const char* picture;
    const char* fault;
  };
  const Case cases[] = {
      {"hall.gif", "Unknown picture file extension (.gif)"},
      {"hall", "Unknown picture file extension (.)"},
      {"broken.png", "Damaged picture file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture);
    WriteStory({{"hall", With(kHall, "QuestPicture", c.picture)}, {"start", {{"textsize", "0"}}}});
    t.dir.Write(std::string("Images/") + c.picture, "bytes");
    decoder.failFor = {"broken.png"};
    Game& g = Make();
    LoadPage(g, "start");
    const size_t from = LogSize();

    try {
      LoadPage(g, "hall");
      ADD_FAILURE() << "no fault";
    } catch (const RuntimeFault& fault) {
      EXPECT_EQ(std::string(fault.what()).rfind(c.fault, 0), 0u) << fault.what();
    }
    EXPECT_EQ(Messages(from), (Lines{"Loading Page: hall", "Loading Page text...", "Success!", "Loading Page image..."}));
    EXPECT_EQ(g.mainWindow->storyLines.size(), 2u);
    EXPECT_EQ(g.mainWindow->choiceItems.size(), 2u);
    EXPECT_EQ(g.page->pageAction, "$goto");
    EXPECT_EQ(g.page->currentPage, "start");
    EXPECT_FALSE(g.pageActionTimer.Enabled());
    EXPECT_FALSE(g.answerTimer.Enabled());
  }
}

TEST_F(PageLoaderTest, TextLinesFollowTextsize) {
  struct Case {
    const char* textsize;
    Lines expected;
  };
  const Case cases[] = {
      {"4", {"one", "two", "", ""}},  // lines without a key are empty
      {"1", {"one"}},
      {"0", {}},
      {"-3", {}},
      {"$2", {"one", "two"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.textsize);
    WriteStory({{"p", {{"textsize", c.textsize}, {"Line0", "one"}, {"Line1", "two"}}}});
    Game& g = Make();
    g.mainWindow->storyLines = {"old text"};
    LoadPage(g, "p");
    EXPECT_EQ(g.mainWindow->storyLines, c.expected);
  }
}

// Counts from the story file size the page's lists; an absurd one is bounded rather than
// taking all memory.
// The bound is on the whole page: a long choice loads whole, an absurd page is refused
// with a message before anything of it is shown.
TEST_F(PageLoaderTest, APageIsLoadedWholeOrRefused) {
  WriteStory({{"long", {{"ActionsCount", "1"}, {"Action0.LinesCount", "12000"}, {"Action0.Line11999", "last"}}},
              {"count", {{"ActionsCount", "2000000000"}}},
              {"lines", {{"ActionsCount", "2"}, {"Action1.LinesCount", "2000000000"}}},
              {"text", {{"textsize", "2000000000"}}}});
  Game& g = Make();
  LoadPage(g, "long");
  ASSERT_EQ(g.page->actions.size(), 1u);
  EXPECT_EQ(g.page->actions[0].lines.size(), 12000u);
  EXPECT_EQ(g.page->actions[0].lines.back(), "last");
  for (const char* page : {"count", "lines", "text"}) {
    try {
      LoadPage(g, page);
      ADD_FAILURE() << page << ": no fault";
    } catch (const RuntimeFault& f) {
      EXPECT_EQ(std::string(f.what()),
                "Page " + std::string(page) + " is too large: its text and choices declare more than 1000000 lines");
    }
    EXPECT_EQ(g.page->currentPage, "long");
    EXPECT_EQ(g.page->actions.size(), 1u);
  }
}

// Reloading the page shown reads it again (enabled states as now stored) and switches its
// timers on again; a timer still counting with the same interval keeps its countdown.
TEST_F(PageLoaderTest, ReloadKeepsARunningCountdown) {
  WriteStory({{"a", {{"Page.Cutscene", "1"}, {"Page.Delay", "1000"}, {"Page.Action", "$goto"}, {"Page.Param", "b"},
                     {"ActionsCount", "1"}, {"Action0.LinesCount", "1"}, {"Action0.Line0", "x"}}},
              {"b", {{"textsize", "1"}, {"Line0", "page b"}}}});
  Game& g = Make();
  LoadPage(g, "a");
  t.clock.Advance(600);
  g.timers.FireDue();
  WriteStory({{"a", {{"Page.Cutscene", "1"}, {"Page.Delay", "1000"}, {"Page.Action", "$goto"}, {"Page.Param", "b"},
                     {"ActionsCount", "1"}, {"Action0.Enabled", "0"}}},
              {"b", {{"textsize", "1"}, {"Line0", "page b"}}}});
  LoadPage(g, "a");
  EXPECT_TRUE(g.mainWindow->choiceItems.empty());
  t.clock.Advance(399);
  g.timers.FireDue();
  EXPECT_EQ(g.page->currentPage, "a");
  t.clock.Advance(1);
  g.timers.FireDue();
  EXPECT_EQ(g.page->currentPage, "b");
  EXPECT_FALSE(g.pageActionTimer.Enabled());
}

// A cutscene timer started by one page fires after another page has been loaded and
// performs the page action current then.
TEST_F(PageLoaderTest, CutsceneTimerCarriesOverToTheNextPage) {
  struct Case {
    Keys pageB;
    const char* expectedPage;
  };
  const Case cases[] = {
      {{{"textsize", "0"}}, "b"},                                    // b has no action: nothing happens
      {{{"Page.Action", "$GOTO"}, {"Page.Param", "c"}}, "c"},        // b's action runs, b has no cutscene
  };
  for (const Case& c : cases) {
    WriteStory({{"a", {{"Page.Cutscene", "1"}, {"Page.Delay", "1000"}, {"Page.Action", "$goto"}, {"Page.Param", "d"}}},
                {"b", c.pageB},
                {"c", {{"textsize", "0"}}}});
    Game& g = Make();
    LoadPage(g, "a");
    t.clock.Advance(500);
    LoadPage(g, "b");
    EXPECT_TRUE(g.pageActionTimer.Enabled());
    t.clock.Advance(500);
    g.timers.FireDue();
    EXPECT_EQ(g.page->currentPage, c.expectedPage);
    EXPECT_FALSE(g.pageActionTimer.Enabled());
  }
}

TEST_F(PageLoaderTest, CutsceneWithoutDelayNeverFires) {
  WriteStory({{"a", {{"Page.Cutscene", "1"}, {"Page.Action", "$goto"}, {"Page.Param", "b"}}}});
  Game& g = Make();
  LoadPage(g, "a");
  EXPECT_TRUE(g.pageActionTimer.Enabled());
  EXPECT_EQ(g.pageActionTimer.Interval(), 0u);
  t.clock.Advance(100000000);
  g.timers.FireDue();
  EXPECT_EQ(g.page->currentPage, "a");
}

TEST_F(PageLoaderTest, LoadPageTextLeavesThePageAsItIs) {
  WriteStory({{"hall", kHall}, {"note", {{"textsize", "1"}, {"Line0", "A note."}}}});
  t.dir.Write("Images/hall.png", "png bytes");
  Game& g = Make();
  LoadPage(g, "hall");
  const size_t from = LogSize();
  LoadPageText(g, "note");
  EXPECT_EQ(g.mainWindow->storyLines, (Lines{"A note."}));
  LoadPageText(g, "no such page");
  EXPECT_TRUE(g.mainWindow->storyLines.empty());
  EXPECT_EQ(Messages(from), (Lines{"Loading Page text...", "Loading Page text..."}));
  EXPECT_EQ(g.page->currentPage, "hall");
  EXPECT_EQ(g.mainWindow->choiceItems.size(), 2u);
}

// Every appended line is followed by a substitution over the whole text: a reference that
// a value brings into an early line is replaced when later lines are appended; one that
// the last line brings in stays.
TEST_F(PageLoaderTest, EarlierLinesAreSubstitutedOncePerLaterLine) {
  WriteStory({{"p", {{"textsize", "3"}, {"Line0", "$_b"}, {"Line1", "plain"}, {"Line2", "$_b"}}}});
  Game& g = Make();
  g.vars->NewStrVar("a", "A");
  g.vars->NewStrVar("b", "$_a");  // brings in a reference to an earlier variable
  LoadPage(g, "p");
  EXPECT_EQ(g.mainWindow->storyLines, (Lines{"A", "plain", "$_a"}));
}

TEST_F(PageLoaderTest, ValueWithLineBreakSplitsTheLine) {
  WriteStory({{"p", {{"textsize", "2"}, {"Line0", "[$_two]"}, {"Line1", "end"}}}});
  Game& g = Make();
  g.vars->NewStrVar("two", "first\r\nsecond");
  LoadPage(g, "p");
  EXPECT_EQ(g.mainWindow->storyLines, (Lines{"[first", "second]", "end"}));
}

}  // namespace
}  // namespace velmora
