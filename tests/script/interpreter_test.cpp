// The interpreter: dispatch, the skip rule of tests, control flow and its resume
// positions, run-time faults and the bounds of a chain.
#include <gtest/gtest.h>

#include "run/command_language.h"
#include "script/command_table.h"
#include "script/interpreter.h"
#include "script/script_library.h"
#include "script/var_commands.h"
#include "script_fixture.h"
#include "base/fault.h"
#include "base/text.h"
#include "inventory/inventory.h"
#include "story/page_state.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

using testing::PagesStory;
using testing::ScriptTest;
using Texts = std::vector<std::string>;

int LinearFind(const std::string& token) {
  const CommandTable& kCommands = LanguageCommands();
  for (size_t i = 0; i < kCommands.size(); ++i)
    if (SameCommand(kCommands[i].name, token)) return static_cast<int>(i);
  return -1;
}

TEST(CommandTable, ResolvedCommandsAreThoseOfALinearScanOfTheTable) {
  const CommandTable& kCommands = LanguageCommands();
  Texts tokens = {"$GOTO", "$Goto", "$goto.", "goto", "$int.set", "$int.set.clear", "$inventory.Use",
                  "$inventory.usable", "$string.split", "$string.split.int", ".LABEL", ".end", "end", "",
                  "$", "$run ", "$str.set.find.add", "$string.set.find.add", "$\xC9nt.add"};
  for (const auto& c : kCommands) {
    tokens.push_back(c.name);
    tokens.push_back(AsciiLower(c.name));
    std::string upper = c.name;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    tokens.push_back(upper);
    tokens.push_back(std::string(c.name) + "x");
    tokens.push_back(std::string(c.name).substr(0, std::string(c.name).size() - 1));
  }
  for (const auto& token : tokens) EXPECT_EQ(kCommands.Find(token), LinearFind(token)) << token;
  // All names differ, so the table's order decides nothing.
  for (size_t i = 0; i < kCommands.size(); ++i) EXPECT_EQ(kCommands.Find(kCommands[i].name), static_cast<int>(i));
}

class InterpreterTest : public ScriptTest {};

// ---- The skip rule --------------------------------------------------------------------

TEST_F(InterpreterTest, FailedTestSkipsOnlyTheNextCommandsName) {
  struct Case {
    int32_t x;
    const char* s;
    int32_t y;
  };
  // True: $string.set stores the token "$int.add"; y and 1 are passed over. False: the
  // name $string.set is skipped, s passed over, and its argument runs as a command.
  for (const Case& c : {Case {9, "$int.add", 0}, Case {8, "", 1}}) {
    SCOPED_TRACE(c.x);
    RunBody("$int.set x " + std::to_string(c.x) +
            " $int.new y $string.new s $int.equal x 9 $string.set s $int.add y 1");
    EXPECT_EQ(Str("s"), c.s);
    EXPECT_EQ(Int("y"), c.y);
  }
}

TEST_F(InterpreterTest, FailedTestBeforeACommandWhoseArgumentIsExitEndsTheRun) {
  RunBody("$int.new x $string.new s $int.equal x 3 $string.set s $exit $int.new after");
  EXPECT_FALSE(HasInt("after"));
  EXPECT_EQ(Str("s"), "");
  EXPECT_TRUE(game->CloseRequested());
}

TEST_F(InterpreterTest, TestsMoveByTheirOwnTokensOrOneMore) {
  game = &t.Make();
  game->vars->NewIntVar("x", 3);
  game->vars->NewStrVar("s", "Key");
  game->vars->NewStrVar("k", "key");
  struct Case {
    Texts tokens;
    int32_t next;
  };
  const Case cases[] = {
      {{"$int.equal", "x", "3"}, 3},          {{"$int.equal", "x", "4"}, 4},
      {{"$int.notequal", "x", "4"}, 3},       {{"$int.largerthan", "x", "3"}, 4},
      {{"$int.largerthanorequal", "x", "3"}, 3}, {{"$int.smallerthan", "x", "$4"}, 3},
      {{"$int.smallerthanorequal", "x", "2"}, 4}, {{"$int.equal", "nosuch", "abc"}, 4},
      {{"$string.equal", "s", "Key"}, 3},     {{"$string.equal", "s", "k"}, 4},  // "Key" against "key"
      {{"$string.notequal", "s", "k"}, 3},    {{"$string.equal", "k", "key"}, 3},
      {{"$int.set.find", "3"}, 3},            {{"$int.set.CantFind", "3"}, 2},
      {{"$string.set.find", "Key"}, 3},       {{"$string.set.CantFind", "s"}, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(Step(c.tokens), c.next) << c.tokens[0] << " " << c.tokens[1];
}

// ---- Control flow: where execution goes on ---------------------------------------------

TEST_F(InterpreterTest, WhileRunsItsBodyThenResumesSixTokensOn) {
  // The loop resumes at the body's argument 1, which is passed over.
  RunBody("$int.new i $while $int.smallerthan i 10 $int.add i 1 $int.add i 100");
  EXPECT_EQ(Int("i"), 110);
}

TEST_F(InterpreterTest, WhileWithATwoTokenBodyResumesRightAfterIt) {
  Load("___script step $int.add i 1 ___end\r\n"
       "___script main $int.new i $int.new runs $while $int.smallerthan i 10 $run step $int.add runs 1 ___end");
  Run("main");
  EXPECT_EQ(Int("i"), 10);
  EXPECT_EQ(Int("runs"), 1);
}

TEST_F(InterpreterTest, WhileConditionsOtherThanTheSixAreFalseWithoutALogLine) {
  RunBody("$int.new i $while $int.largerthanorequal i 0 $int.add i 1");
  EXPECT_EQ(Int("i"), 0);
  EXPECT_EQ(Messages().size(), 1u);  // the creation of i only
  EXPECT_EQ(Step({"$while", "$goto", "i", "0", "$int.add", "i", "1"}), 6);
}

TEST_F(InterpreterTest, WhileConditionOnAMissingVariableIsFalseAndLogged) {
  game = &t.Make();
  EXPECT_EQ(Step({"$while", "$int.smallerthan", "nosuch", "abc", "x", "y"}), 6);
  EXPECT_EQ(Messages(), (Texts {"Error:Variable nosuch not found!"}));
}

TEST_F(InterpreterTest, EvalConditionTriesTheSixNames) {
  game = &t.Make();
  game->vars->NewIntVar("i", 5);
  game->vars->NewStrVar("s", "abc");
  game->vars->NewStrVar("other", "abc");
  struct Case {
    const char *name, *a, *b;
    bool result;
  };
  const Case cases[] = {
      {"$INT.SMALLERTHAN", "i", "6", true}, {"$int.smallerthan", "i", "5", false},
      {"$int.largerthan", "i", "4", true},  {"$int.equal", "i", "$5", true},
      {"$int.notequal", "i", "5", false},   {"$string.equal", "s", "other", true},
      {"$string.equal", "s", "ABC", false}, {"$string.notequal", "s", "abd", true},
      {"$int.smallerthanorequal", "i", "9", false}, {"$int.equal", "s", "5", false},  // s is no integer variable
      {"while", "i", "5", false},
  };
  for (const Case& c : cases) EXPECT_EQ(EvalCondition(*game, c.name, c.a, c.b), c.result) << c.name << " " << c.b;
}

TEST_F(InterpreterTest, CycleRunsToMinusFromPlusOneTimesAndResumesSevenOn) {
  Load("___script step $int.add n 5 $int.add runs 1 ___end\r\n"
       "___script main $int.set n 1 $int.new runs $int.new after\r\n"
       "  $cycle n 2 $run step a b $int.add after 1 ___end");
  Run("main");
  EXPECT_EQ(Int("runs"), 2);  // n is read once, before the loop
  EXPECT_EQ(Int("after"), 1);
}

TEST_F(InterpreterTest, CycleBoundsAndPositions) {
  game = &t.Make();
  game->vars->NewIntVar("c", 0);
  struct Case {
    const char *from, *to;
    int32_t runs;
  };
  for (const Case& c : {Case {"1", "3", 3}, Case {"5", "1", 0}, Case {"-2", "-2", 1}, Case {"4", "3", 0}}) {
    game->vars->SetIntValue(0, 0);
    EXPECT_EQ(Step({"$cycle", c.from, c.to, "$int.add", "c", "1", "x", "y"}), 7);
    EXPECT_EQ(game->vars->IntValue(0), c.runs) << c.from << ".." << c.to;
  }
}

TEST_F(InterpreterTest, ExitInALoopBodyIsDiscardedLikeAnyBodyPosition) {
  RunBody("$int.new c $cycle 1 3 $exit x y z $int.add c 1");
  EXPECT_EQ(Int("c"), 1);
  EXPECT_TRUE(game->CloseRequested());
}

TEST_F(InterpreterTest, ExitEndsOnlyTheInnermostRun) {
  Load("___script inner $int.new a $exit $int.new b ___end\r\n"
       "___script main $run inner $int.new c ___end");
  Run("main");
  EXPECT_TRUE(HasInt("a"));
  EXPECT_FALSE(HasInt("b"));
  EXPECT_TRUE(HasInt("c"));
  EXPECT_TRUE(game->CloseRequested());
  EXPECT_EQ(Step({"x", "$exit", "y"}, 1), 4);
}

TEST_F(InterpreterTest, RunTakesAStringVariablesValueOrTheToken) {
  Load("___script intro $int.add hits 1 ___end\r\n"
       "___script which $int.add hits 100 ___end\r\n"
       "___script main $int.new hits $string.set which intro $run which $run intro $run nosuch $int.add hits 10 ___end");
  Run("main");
  EXPECT_EQ(Int("hits"), 12);
  EXPECT_EQ(Messages().back(), "Error:Script Error! Script nosuch not found!");
}

TEST_F(InterpreterTest, SimpleControlCommandsMovePastTheirTokens) {
  t.dir.Write("story.qst", PagesStory({"gamestart", "p2", "first", "saved"}));
  t.dir.Write("config.ini", "[Start]\r\nStartPage=first\r\n[GameLoad]\r\nPage=saved\r\n");
  game = &t.Make();
  game->vars->NewStrVar("where", "p2");
  struct Case {
    Texts tokens;
    int32_t next;
    const char* page;  // the page current afterwards
  };
  const Case cases[] = {
      {{"$GoTo", "where", "x"}, 2, "p2"},
      {{"$goto", "gamestart"}, 2, "gamestart"},
      {{"$start", "x"}, 1, "first"},
      {{"$load", "x"}, 1, "saved"},
      {{"$run", "nosuch", "x"}, 2, "saved"},
      {{"$jump", "nosuch", "x"}, 2, "saved"},
      {{".label", "L", "a", ".END", "b"}, 4, "saved"},
      {{".label", "M", "a", "END", "b"}, 4, "saved"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Step(c.tokens), c.next) << c.tokens[0];
    EXPECT_EQ(game->page->currentPage, c.page) << c.tokens[0];
  }
}

TEST_F(InterpreterTest, StartAndLoadWithoutKeysShowGamestart) {
  t.dir.Write("story.qst", PagesStory({"gamestart", "other"}));
  game = &t.Make();
  for (const char* command : {"$start", "$load"}) {
    Step({"$goto", "other"});
    Step({command});
    EXPECT_EQ(game->page->currentPage, "gamestart") << command;
  }
}

TEST_F(InterpreterTest, SleepLogsThenBlocksForTheCount) {
  game = &t.Make();
  struct Case {
    const char* count;
    int64_t waited;
  };
  // A negative count does not wait at all (rather than for weeks).
  for (const Case& c : {Case {"500", 500}, Case {"0", 0}, Case {"-1", 0}, Case {"$10", 16}}) {
    const int64_t before = t.clock.NowMs();
    const size_t log = LogSize();
    EXPECT_EQ(Step({"$sleep", c.count}), 2);
    EXPECT_EQ(t.clock.NowMs() - before, c.waited);
    EXPECT_EQ(Messages(log), (Texts {std::string("Sleeping ") + c.count + " ms..."}));
  }
}

TEST_F(InterpreterTest, ShowMessageReadsTheMessagesFileAtEachUse) {
  t.dir.Write("Scripts/messages.ini", "[Messages]\r\nHello=  Good evening  \r\n");
  RunBody("$showmessage HELLO $showmessage missing");
  t.dir.Write("Scripts/messages.ini", "[Messages]\r\nhello=Changed\r\n");
  Run("main");
  EXPECT_EQ(Shown(), (Texts {"message: Good evening", "message: ", "message: Changed", "message: "}));
}

TEST_F(InterpreterTest, ShowMessageWithoutAMessagesFileShowsTheEmptyText) {
  RunBody("$showmessage hello");
  EXPECT_EQ(Shown(), (Texts {"message: "}));
}

// ---- Faults -------------------------------------------------------------------------

TEST_F(InterpreterTest, FaultsEndTheChainWithTheirDialogTextAndKeepEarlierEffects) {
  struct Case {
    const char* body;
    const char* dialog;
  };
  const Case cases[] = {
      {"$int.set a 1 $int.add a abc $int.new b", "error: 'abc' is not a valid integer value."},
      {"$int.set a 1 $sleep 1x $int.new b", "error: '1x' is not a valid integer value."},
      {"$int.set a 1 $int.set c \"\" $int.new b", "error: '' is not a valid integer value."},
      {"$int.set a 1 $int.new b $int.add", "error: List index out of bounds (6)."},
      {"$int.set a 1 $int.div a 0 $int.new b", "error: Division by zero."},
      {"$int.set a 1 $int.mod a 0 $int.new b", "error: Division by zero."},
      {"$int.set a -2147483648 $int.div a -1 $int.new b", "error: Integer overflow."},
      {"$int.set a -2147483648 $int.mod a -1 $int.new b", "error: Integer overflow."},
      {"$int.set a 1 $while $int.equal a", "error: List index out of bounds (6)."},
      {"$int.set a 1 $while $int.equal a 1", "error: List index out of bounds (7)."},  // the body position
      {"$int.set a 1 $cycle 1 1", "error: List index out of bounds (6)."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    t.dialogs.shown.clear();
    Load(std::string("___script inner ") + c.body + " ___end ___script main $run inner $int.new after ___end");
    Run("main");
    EXPECT_EQ(Shown(), (Texts {c.dialog}));
    EXPECT_TRUE(HasInt("a"));
    EXPECT_FALSE(HasInt("after"));  // the whole chain ends, not only the inner run
    EXPECT_EQ(game->interp->depth, 0);
  }
}

TEST_F(InterpreterTest, MissingArgumentOfAFailedTestIsNotRead) {
  RunBody("$int.new x $int.equal nosuch");
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Messages().back(), "Error:Variable nosuch not found!");
}

// ---- Bounds of a chain --------------------------------------------------------------

TEST_F(InterpreterTest, ScriptThatRunsItselfEndsWithANestingFault) {
  Load("___script self $int.add n 1 $run self ___end\r\n"
       "___script main $int.new n $run self ___end");
  Run("main");
  EXPECT_EQ(Shown(), (Texts {"error: Scripts nested too deeply (more than 1000 levels)."}));
  EXPECT_EQ(Int("n"), 999);  // main is the first of the 1000 levels
  EXPECT_EQ(game->interp->depth, 0);
  // The next event starts afresh.
  t.dialogs.shown.clear();
  Run("main");
  EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(InterpreterTest, NestedLoopBodiesAndLabelsCountAsNesting) {
  std::string whiles;
  for (int i = 0; i < 3000; ++i) whiles += "$while $string.equal s s ";
  RunBody("$string.new s " + whiles + "$int.new never");
  EXPECT_EQ(Shown(), (Texts {"error: Scripts nested too deeply (more than 1000 levels)."}));
  t.dialogs.shown.clear();
  RunBody(".label L $jump L .end $jump L");
  EXPECT_EQ(Shown(), (Texts {"error: Scripts nested too deeply (more than 1000 levels)."}));
}

TEST_F(InterpreterTest, RunawayLoopEndsAfterTheCommandBound) {
  Load("___script main $string.new s $while $string.equal s s $int.add n 1 ___end");
  game->vars->NewIntVar("n", 0);
  game->interp->limits.maxCommands = 10'000;
  Run("main");
  EXPECT_EQ(Shown(), (Texts {"error: Script stopped after 10000 commands."}));
  EXPECT_EQ(Int("n"), 9'998);  // $string.new and $while are commands of the chain too
}

TEST_F(InterpreterTest, CommandBoundStartsAfreshWithEachEvent) {
  Load("___script main $int.new n $cycle 1 20 $int.add n 1 ___end");
  game->interp->limits.maxCommands = 30;
  for (int i = 0; i < 3; ++i) Run("main");
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Int("n"), 60);
}

// Honest long scripts run to their end: no bound on commands that save, load or show.
TEST_F(InterpreterTest, ALongLoopOfInventoryAddsFinishes) {
  t.dir.Write("Scripts/inventory.inv", "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=coin\r\nMaxCount=10000\r\n");
  Load("___script main $cycle 1 6000 $inventory.add coin 1 ___end");
  LoadDefinitions(*game);
  Run("main");
  EXPECT_TRUE(Shown().empty()) << Shown().front();
  EXPECT_EQ(game->inventory->Count(game->inventory->FindItem("coin")), 6000);
  EXPECT_NE(t.dir.Read("Scripts/inventory.sav").find("Count=6000"), std::string::npos);
}

// The state file is written at the chain's end, with what the chain did before a fault.
TEST_F(InterpreterTest, AChainsAddsAreSavedAlsoWhenAFaultEndsIt) {
  t.dir.Write("Scripts/inventory.inv", "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=coin\r\nMaxCount=10\r\n");
  Load("___script main $inventory.add coin 2 $inventory.add coin many ___end");
  LoadDefinitions(*game);
  Run("main");
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_NE(t.dir.Read("Scripts/inventory.sav").find("Count=2"), std::string::npos);
}

// A front end with a person at hand is asked about a chain that runs on, and may let it
// go on, count afresh or stop it.
TEST_F(InterpreterTest, TheFrontEndIsAskedAboutALongChainAndMayStopIt) {
  t.dir.Write("Scripts/messages.ini", "[Messages]\r\nhi=Hi\r\n");
  Load("___script main $showmessage hi $string.new s $while $string.equal s s $int.add n 1 ___end");
  game->vars->NewIntVar("n", 0);
  std::vector<int64_t> asked;
  game->checkChain = [&](int64_t runningMs) {
    asked.push_back(runningMs);
    t.clock.Advance(1000);  // each look finds a second more
    Game::ChainVerdict v;
    v.stop = asked.size() == 5;
    v.why = "Script stopped by the player";
    v.restartClock = asked.size() == 3;
    return v;
  };
  Run("main");
  EXPECT_EQ(Shown(), (Texts {"message: Hi", "error: Script stopped by the player."}));
  // The box was before any command ran long; after the restart the count begins again.
  EXPECT_EQ(asked, (std::vector<int64_t> {0, 1000, 2000, 0, 1000}));
  EXPECT_EQ(Int("n"), 4 * InterpreterState::kStretch - 3);
}

}  // namespace
}  // namespace velmora
