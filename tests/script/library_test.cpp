// The script library: how text becomes tokens, how tokens become named blocks, and
// how scripts and labels are found and run.
#include <gtest/gtest.h>

#include "run/command_language.h"
#include "script/script_library.h"
#include "script_fixture.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

using testing::ScriptTest;
using Tokens = std::vector<std::string>;

TEST(SplitTokens, FollowsTheTokenModel) {
  struct Case {
    const char* name;
    std::string text;
    Tokens tokens;
  };
  const Case cases[] = {
      {"blanks and tabs separate", "a b\tc", {"a", "b", "c"}},
      {"lines are trimmed", "  lead \r\n trail  \n", {"lead", "trail"}},
      {"only blanks", " \r\n\t\r\n", {}},
      {"quoted with a blank", "\"my intro\" x", {"my intro", "x"}},
      {"quoted token trimmed", "\"  padded  \"", {"padded"}},
      {"only blanks in quotes", "\"   \"", {""}},
      {"doubled quote", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"two adjacent quotes", "a \"\" b", {"a", "", "b"}},
      {"four quotes", "\"\"\"\"", {"\""}},
      {"quote inside a run", "ab\"cd", {"ab\"cd"}},
      {"text glued to a closing quote", "\"ab\"cd", {"ab", "cd"}},
      {"quoted over lines", "\"one  \r\n   two\"", {"one\r\ntwo"}},
      {"LF and CR end lines too", "\"a\nb\rc\"", {"a\r\nb\r\nc"}},
      {"LF CR is two line ends", "\"a\n\rb\"", {"a\r\n\r\nb"}},
      {"empty line inside quotes", "\"a\r\n\r\nb\"", {"a\r\n\r\nb"}},
      {"unclosed quote runs to the end", "x \"abc\r\ndef", {"x", "abc\r\ndef"}},
      {"zero byte ends the text", std::string("a\0b c", 5), {"a"}},
      {"national letters are token bytes", "\xC0\xE1\xE2 x\xA0y", {"\xC0\xE1\xE2", "x\xA0y"}},
      {"control bytes separate", "a\x01" "b\x1f" "c\x7f", {"a", "b", "c\x7f"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitTokens(c.text), c.tokens) << c.name;
}

TEST(CutIntoBlocks, FollowsTheBlockRules) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::pair<std::string, Tokens>> blocks;
  };
  const Case cases[] = {
      {"one block", "___script intro $goto page2 ___end", {{"intro", {"$goto", "page2"}}}},
      {"markers in any case, text outside ignored",
       "notes ___SCRIPT Intro x ___End between ___script second y ___end after",
       {{"Intro", {"x"}}, {"second", {"y"}}}},
      {"no end marker: to the end of the file", "___script a x y", {{"a", {"x", "y"}}}},
      {"blocks do not nest", "___script a ___script b ___end c", {{"a", {"___script", "b"}}}},
      {"a quoted end marker still ends", "___script a x \"___end\" y", {{"a", {"x"}}}},
      {"quoted name with a blank", "___script \"my intro\" x ___end", {{"my intro", {"x"}}}},
      {"empty body", "___script a ___end", {{"a", {}}}},
      {"marker as the last token opens nothing", "___script a ___end ___script", {{"a", {}}}},
      {"name and end of file", "___script a", {{"a", {}}}},
  };
  for (const Case& c : cases) {
    const auto blocks = CutIntoBlocks(LanguageCommands(), SplitTokens(c.text));
    std::vector<std::pair<std::string, Tokens>> got;
    for (const auto& b : blocks) got.emplace_back(b.name, b.tokens.tokens);
    EXPECT_EQ(got, c.blocks) << c.name;
  }
}

TEST(CutIntoBlocks, CutsLongNamesTo255Bytes) {
  const std::string name(300, 'n');
  const auto blocks = CutIntoBlocks(LanguageCommands(), {"___script", name, "x"});
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].name, name.substr(0, 255));
}

class LibraryTest : public ScriptTest {};

TEST_F(LibraryTest, FindsScriptsIgnoringAsciiCaseFirstBlockWinning) {
  Load("___script Intro $int.new first ___end\r\n"
       "___script INTRO $int.new second ___end\r\n"
       "___script \xC0z ___end\r\n");
  EXPECT_EQ(game->scripts->FindScript("intro"), 0);
  EXPECT_EQ(game->scripts->FindScript("iNTRO"), 0);
  EXPECT_EQ(game->scripts->FindScript("\xC0Z"), 2);
  EXPECT_EQ(game->scripts->FindScript("\xE0z"), -1);  // national letters keep their case
  EXPECT_EQ(game->scripts->FindScript("intr"), -1);
  Run("INTRO");
  EXPECT_TRUE(HasInt("first"));
  EXPECT_FALSE(HasInt("second"));
}

TEST_F(LibraryTest, LibraryPathIsResolvedWithoutRegardToCase) {
  t.dir.Write("scripts/scripts.BSF", "___script a $int.new x ___end");
  game = &t.Make();
  LoadScriptLibrary(*game);
  Run("a");
  EXPECT_TRUE(HasInt("x"));
}

TEST_F(LibraryTest, MissingLibraryLeavesItEmptyAndRunsLogTheMissingScript) {
  game = &t.Make();
  LoadScriptLibrary(*game);
  EXPECT_TRUE(game->scripts->scripts.empty());
  EXPECT_TRUE(Messages().empty());
  Run("nosuch");
  EXPECT_EQ(Messages(), (Tokens {"Error:Script Error! Script nosuch not found!"}));
}

TEST_F(LibraryTest, QuotedNameRunsThroughRunWithTheSameQuotedToken) {
  Load("___script \"my intro\" $int.new x ___end\r\n"
       "___script main $run \"my intro\" ___end");
  Run("main");
  EXPECT_TRUE(HasInt("x"));
}

TEST_F(LibraryTest, EndAtACommandPositionEndsTheRunButNotAsAnArgument) {
  RunBody("$int.new x $int.add x 1 End $int.add x 1");
  EXPECT_EQ(Int("x"), 1);
  RunBody("$string.new s $string.set s end $int.new x end $int.new y");
  EXPECT_EQ(Str("s"), "end");
  EXPECT_TRUE(HasInt("x"));
  EXPECT_FALSE(HasInt("y"));
}

TEST_F(LibraryTest, ScriptMayRunInsideItselfWithItsOwnPosition) {
  // Each run counts down once more until n reaches 0; every run finishes its own tail.
  Load("___script main $int.set n 3 $int.set tail 0 $run down ___end\r\n"
       "___script down $int.substrat n 1 $int.largerthan n 0 $run down $int.add tail 1 ___end");
  Run("main");
  EXPECT_EQ(Int("n"), 0);
  EXPECT_EQ(Int("tail"), 3);
}

TEST_F(LibraryTest, LabelRangeStopsBeforeAnyEndTokenArgumentsIncluded) {
  // The range ends at the argument "end"; execution goes on after it with ".end", a
  // token that is no command.
  RunBody("$string.new s .label L $string.set s end .end $int.new after");
  ASSERT_EQ(game->labels->labels.size(), 1u);
  const ScriptLabel& l = game->labels->labels[0];
  EXPECT_EQ(l.name, "L");
  EXPECT_EQ(l.first, 4);
  EXPECT_EQ(l.last, 5);
  EXPECT_EQ(Str("s"), "");  // the range is not run when the label is recorded
  EXPECT_TRUE(HasInt("after"));
}

TEST_F(LibraryTest, LabelWithoutTerminatorTakesTheRestAndEndsTheRun) {
  RunBody("$int.new x .label L $int.add x 1");
  const ScriptLabel& l = game->labels->labels.at(0);
  EXPECT_EQ(l.first, 4);
  EXPECT_EQ(l.last, 6);
  EXPECT_EQ(Int("x"), 0);
}

TEST_F(LibraryTest, JumpRunsTheRangeAsASubroutineThenGoesOn) {
  RunBody("$int.new x .label twice $int.add x 2 .end $jump TWICE $jump twice $int.add x 100");
  EXPECT_EQ(Int("x"), 104);
}

TEST_F(LibraryTest, LabelFromOneScriptRunsOverTheTokensOfTheJumpingScript) {
  // L covers positions 2..4. In b, those hold "$int.add x 5", which runs once through
  // the jump and once more in b's own course.
  Load("___script a .label L $int.add x 1 .end ___end\r\n"
       "___script b $jump L $int.add x 5 ___end\r\n"
       "___script short $jump L ___end\r\n"
       "___script main $int.new x $run a $run b ___end");
  Run("main");
  EXPECT_EQ(Int("x"), 10);
  Run("short");
  EXPECT_EQ(Shown(), (Tokens {"error: List index out of bounds (2)."}));
}

TEST_F(LibraryTest, FirstDefinitionOfALabelWins) {
  // L is recorded at 2..4 by a, then again (as l) at 4..6 by b. In j, 2..4 hold
  // "$int.add x 1" (x becomes 2 with j's own course); 4..6 would give 1.
  Load("___script a .label L $int.add x 1 .end ___end\r\n"
       "___script b $int.new pad .label l $int.add x 50 .end ___end\r\n"
       "___script main $int.new x $run a $run b $run a ___end\r\n"
       "___script j $jump l $int.add x 1 end ___end");
  Run("main");
  Run("j");
  EXPECT_EQ(Int("x"), 2);
  EXPECT_EQ(game->labels->FindLabel("L"), 0);
}

TEST_F(LibraryTest, UnknownLabelIsLoggedAndTheRunGoesOn) {
  RunBody("$jump nowhere $int.new x");
  EXPECT_TRUE(HasInt("x"));
  EXPECT_EQ(Messages().front(), "Error:Script Error! Label nowhere not found!");
}

TEST_F(LibraryTest, TokensThatAreNoCommandsArePassedOverSilently) {
  RunBody("hello 42 \"two words\" $nothing .labels $int.set.clearer");
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Shown().empty());
}

}  // namespace
}  // namespace velmora
