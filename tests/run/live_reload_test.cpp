// Live reload: a changed story, library, messages or inventory file taken up while a run
// waits, the run's memory kept; a broken file leaves the run as it was.
#include "run/live_reload.h"

#include <gtest/gtest.h>

#include "inventory/inventory.h"
#include "script/interpreter.h"
#include "script/script_library.h"
#include "base/main_window_state.h"
#include "story/page_loader.h"
#include "story/page_state.h"
#include "support/test_game.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

class LiveReloadTest : public ::testing::Test {
 protected:
  LiveReloadTest() {
    t.dir.Write("config.ini", "[Start]\r\nStartPage=hall\r\n");
    t.dir.Write("story.qst", "[hall]\r\ntextsize=1\r\nLine0=Old text\r\nActionsCount=1\r\nAction0.Script=count\r\n"
                             "Action0.LinesCount=1\r\nAction0.Line0=Count\r\n");
    t.dir.Write("Scripts/Scripts.bsf", "___script count $int.add n 1 ___end ___script later .label L $int.add n 5 .end ___end");
    t.dir.Write("Scripts/inventory.inv", "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=key\r\nDisplayName=Key\r\n");
    Game& game = t.Make();
    LoadScriptLibrary(game);
    LoadDefinitions(game);
    game.inventory->SetCount(0, 3);
    game.RunEvent([&] {
      RunScriptText("$int.set n 41 $run count");
      LoadPage(game, "hall");
    });
  }
  void RunScriptText(const std::string& text) { RunScriptTokens(SplitTokens(text)); }
  void RunScriptTokens(std::vector<std::string> tokens) {
    t.game().scripts->scripts.push_back({"adhoc", TokenList(*t.game().interp->commands, std::move(tokens))});
    t.game().scripts->Reindex();
    RunScript(t.game(), "adhoc");
  }
  int32_t N() { return t.game().vars->IntValue(t.game().vars->FindVar("n", false)); }
  ReloadResult Edit(const std::string& file, const std::string& text) {
    return ReloadChangedFile(t.game(), t.dir.Write(file, text));
  }
  testing::TestGame t;
};

TEST_F(LiveReloadTest, NewPageTextAndScriptShowAtOnceAndVariablesGoOn) {
  ASSERT_EQ(N(), 42);
  ReloadResult r = Edit("story.qst", "[hall]\r\ntextsize=1\r\nLine0=New text, longer\r\nActionsCount=2\r\n"
                                     "Action0.Script=count\r\nAction1.Script=count\r\n");
  EXPECT_TRUE(r.reloaded) << r.notice;
  EXPECT_EQ(t.game().mainWindow->storyLines, std::vector<std::string>{"New text, longer"});
  EXPECT_EQ(t.game().mainWindow->choiceItems.size(), 2u);
  r = Edit("Scripts/Scripts.bsf", "___script count $int.add n 100 ___end");
  EXPECT_TRUE(r.reloaded) << r.notice;
  RunScript(t.game(), "count");
  EXPECT_EQ(N(), 142);
  EXPECT_EQ(testing::LogMessages(t.game()).back().find("Page hall loaded!") != std::string::npos, true);
}

TEST_F(LiveReloadTest, ABrokenFileLeavesTheRunAsItWasAndSaysWhere) {
  const struct {
    const char* file;
    std::string text;
    std::string notice;
  } cases[] = {
      {"Scripts/Scripts.bsf", "___script count\r\n$int.add n 100\r\n$string.set s \"open\r\n___end",
       "Scripts.bsf, line 3: a quoted word whose closing quote is missing; the game goes on as it was"},
      {"Scripts/Scripts.bsf", "___script count $int.add n 1 ___end\r\n\r\n___script more $int.add n 2",
       "Scripts.bsf, line 3: a ___script block without its ___end; the game goes on as it was"},
      {"story.qst", "[hall]\r\ntextsize=1\r\nLine0 New text\r\n",
       "story.qst, line 3: neither a section, a key=value nor a comment; the game goes on as it was"},
      {"Scripts/inventory.inv", "[Inventory\r\nTotalItems=0\r\n",
       "inventory.inv, line 1: a section name without its closing ]; the game goes on as it was"},
  };
  for (const auto& c : cases) {
    const ReloadResult r = Edit(c.file, c.text);
    EXPECT_FALSE(r.reloaded) << c.file;
    EXPECT_EQ(r.notice, c.notice);
    EXPECT_EQ(testing::LogMessages(t.game()).back(), "Warning:Live reload: " + c.notice);
  }
  // The library, the items and the page as they were.
  RunScript(t.game(), "count");
  EXPECT_EQ(N(), 43);
  EXPECT_EQ(t.game().inventory->Count(0), 3);
  EXPECT_EQ(t.game().mainWindow->storyLines, std::vector<std::string>{"Old text"});
}

TEST_F(LiveReloadTest, NewItemDefinitionsKeepTheCountsHeldAndLabelsFollowTheirDefinitions) {
  RunScript(t.game(), "later");  // records label L
  ReloadResult r = Edit("Scripts/inventory.inv", "[Inventory]\r\nTotalItems=2\r\n[Item0]\r\nName=lamp\r\n"
                                                 "[Item1]\r\nName=key\r\nDisplayName=Rusty key\r\n");
  EXPECT_TRUE(r.reloaded) << r.notice;
  const Inventory& inv = *t.game().inventory;
  ASSERT_EQ(inv.Size(), 2);
  EXPECT_EQ(inv.DisplayName(1), "Rusty key");
  EXPECT_EQ(inv.Count(1), 3);
  // L moves to its new place in "later"; a jump runs it in the jumping script's tokens.
  r = Edit("Scripts/Scripts.bsf",
           "___script count $int.add n 1 ___end ___script later $int.add n 0 .label L $int.add n 7 .end $jump L ___end");
  EXPECT_TRUE(r.reloaded) << r.notice;
  RunScript(t.game(), "later");
  EXPECT_EQ(N(), 49);
}

TEST_F(LiveReloadTest, OtherFilesAreNotReloaded) {
  EXPECT_EQ(ClassifyChangedFile(t.game(), t.dir.Write("Images/a.jpg", "")), WatchedFile::kNone);
  EXPECT_EQ(ClassifyChangedFile(t.game(), t.dir.path().string() + "/STORY.QST"), WatchedFile::kStory);
  EXPECT_EQ(ClassifyChangedFile(t.game(), t.dir.path().string() + "/Scripts/MESSAGES.INI"), WatchedFile::kMessages);
  EXPECT_FALSE(Edit("notes.txt", "anything").reloaded);
}

}  // namespace
}  // namespace velmora
