// Variable, set and comparison commands, the random generator and the text prompt.
#include <gtest/gtest.h>

#include <climits>

#include "script/interpreter.h"
#include "script/var_commands.h"
#include "script_fixture.h"
#include "base/fault.h"
#include "base/main_window_state.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

using testing::ScriptTest;
using Texts = std::vector<std::string>;

class VarCommandsTest : public ScriptTest {};

// ---- Random numbers -----------------------------------------------------------------

TEST_F(VarCommandsTest, TenDrawsBelowSixFromTheStartSeed) {
  std::string body = "$int.new v $string.new out";
  for (int i = 0; i < 10; ++i) body += " $int.random v 6 $string.split.int out v";
  RunBody(body);
  EXPECT_EQ(Str("out"), "0051141022");
}

TEST_F(VarCommandsTest, RandomEdgeCases) {
  game = &t.Make();
  game->vars->NewIntVar("v", 99);
  Step({"$int.random", "v", "0"});
  EXPECT_EQ(Int("v"), 0);
  Step({"$int.random", "v", "6"});  // the draw for 0 still moved the generator on
  EXPECT_EQ(Int("v"), 0);
  Step({"$int.random", "v", "6"});
  EXPECT_EQ(Int("v"), 5);
  for (int i = 0; i < 200; ++i) {
    Step({"$int.random.range", "v", "6", "1"});
    EXPECT_GE(Int("v"), 1);
    EXPECT_LE(Int("v"), 6);
    Step({"$int.random.range", "v", "1", "7"});
    EXPECT_EQ(Int("v"), 7);
    Step({"$int.random", "v", "-1"});  // counts as 2^32 - 1
    const uint64_t seed = game->interp->randomSeed;
    EXPECT_EQ(static_cast<uint32_t>(Int("v")), static_cast<uint32_t>((seed * 0xFFFFFFFFu) >> 32));
  }
}

TEST_F(VarCommandsTest, RandomRangeDrawsBeforeReadingItsBase) {
  game = &t.Make();
  game->vars->NewIntVar("v", 0);
  EXPECT_THROW(Step({"$int.random.range", "v", "6", "base"}), RuntimeFault);
  EXPECT_EQ(game->interp->randomSeed, 1u);
  EXPECT_THROW(Step({"$int.random.range", "v", "v", "1"}), RuntimeFault);  // literals only
  EXPECT_EQ(game->interp->randomSeed, 1u);
}

// ---- Integer variables --------------------------------------------------------------

TEST_F(VarCommandsTest, ArithmeticWrapsAndTruncates) {
  struct Case {
    const char* command;
    int32_t v;
    const char* x;
    int32_t result;
  };
  const Case cases[] = {
      {"$int.add", INT32_MAX, "1", INT32_MIN},       {"$int.substrat", INT32_MIN, "1", INT32_MAX},
      {"$int.multiple", 65536, "65536", 0},           {"$int.multiple", INT32_MAX, "2", -2},
      {"$int.multiple", -7, "-3", 21},                {"$int.div", -7, "2", -3},
      {"$int.div", 7, "-2", -3},                      {"$int.div", INT32_MIN, "1", INT32_MIN},
      {"$int.mod", -7, "2", -1},                      {"$int.mod", 7, "-2", 1},
      {"$int.mod", INT32_MIN, "3", -2},               {"$int.add", 5, "$FFFFFFFF", 4},
      {"$int.substrat", 5, "other", -37},             {"$int.add", 1, "12", 1001},  // a variable named 12
  };
  for (const Case& c : cases) {
    game = &t.Make();
    game->vars->NewIntVar("v", c.v);
    game->vars->NewIntVar("other", 42);
    game->vars->NewIntVar("12", 1000);
    EXPECT_EQ(Step({c.command, "v", c.x}), 3);
    EXPECT_EQ(Int("v"), c.result) << c.command << " " << c.v << " " << c.x;
  }
}

TEST_F(VarCommandsTest, CommandsOnAMissingVariableLogAndChangeNothing) {
  game = &t.Make();
  struct Case {
    Texts tokens;
    int32_t next;
  };
  const Case cases[] = {
      {{"$int.add", "w", "abc"}, 3},      {{"$int.div", "w", "0"}, 3},
      {{"$int.random", "w", "6"}, 3},     {{"$int.random.range", "w", "6", "1"}, 4},
      {{"$string.split", "w", "x"}, 3},   {{"$string.split.int", "w", "x"}, 3},
      {{"$int.equal", "w", "x"}, 4},      {{"$string.notequal", "w", "x"}, 4},
  };
  for (const Case& c : cases) {
    const size_t log = LogSize();
    EXPECT_EQ(Step(c.tokens), c.next) << c.tokens[0];
    EXPECT_EQ(Messages(log), (Texts {"Error:Variable w not found!"})) << c.tokens[0];
  }
  EXPECT_EQ(game->interp->randomSeed, 0u);
  EXPECT_EQ(game->vars->IntCount() + game->vars->StrCount(), 0);
}

TEST_F(VarCommandsTest, IntSetAssignsOrCreatesFromALiteral) {
  game = &t.Make();
  game->vars->NewIntVar("k", 4);
  size_t log = LogSize();
  Step({"$int.set", "n", "5"});
  EXPECT_EQ(Int("n"), 5);
  EXPECT_EQ(Messages(log), (Texts {"Created new variable: n"}));
  log = LogSize();
  Step({"$int.set", "n", "k"});  // an existing variable takes an operand
  EXPECT_EQ(Int("n"), 4);
  EXPECT_TRUE(Messages(log).empty());
  try {
    Step({"$int.set", "m", "k"});  // a new one takes a literal only
    FAIL();
  } catch (const RuntimeFault& f) {
    EXPECT_STREQ(f.what(), "'k' is not a valid integer value");
  }
  EXPECT_FALSE(HasInt("m"));
  Step({"$int.new", "n"});
  EXPECT_EQ(Messages(log), (Texts {"Warning:Variable: n already exists!"}));
  EXPECT_EQ(Int("n"), 4);
}

// ---- String variables ---------------------------------------------------------------

TEST_F(VarCommandsTest, StringSetTakesTheLiteralToken) {
  RunBody("$string.set x hello $string.set s x $string.set s2 x $string.new t $string.set t x");
  EXPECT_EQ(Str("s"), "x");
  EXPECT_EQ(Str("s2"), "x");
  EXPECT_EQ(Str("t"), "x");
  EXPECT_EQ(Str("x"), "hello");
}

TEST_F(VarCommandsTest, SplitAppendsAndCutsTo255) {
  game = &t.Make();
  game->vars->NewStrVar("s", "ab");
  game->vars->NewStrVar("t", "CD");
  game->vars->NewIntVar("n", -12);
  game->vars->NewIntVar("s", 7);  // an integer variable of the same name
  struct Case {
    Texts tokens;
    const char* after;
  };
  const Case cases[] = {
      {{"$string.split", "s", "t"}, "abCD"},     {{"$string.split", "s", "u"}, "abCDu"},
      {{"$string.split", "s", "n"}, "abCDun"},   {{"$string.split.int", "s", "n"}, "abCDun-12"},
      {{"$string.split.int", "s", "t"}, "abCDun-12t"}, {{"$string.split.int", "s", "s"}, "abCDun-12t7"},
      {{"$string.split", "s", "s"}, "abCDun-12t7abCDun-12t7"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Step(c.tokens), 3);
    EXPECT_EQ(Str("s"), c.after);
  }
  const std::string long250(250, 'z');
  Step({"$string.split", "s", long250});
  EXPECT_EQ(Str("s"), ("abCDun-12t7abCDun-12t7" + long250).substr(0, 255));
}

TEST_F(VarCommandsTest, StringComparisonIsExact) {
  game = &t.Make();
  game->vars->NewStrVar("a", "Key");
  game->vars->NewStrVar("b", "key");
  EXPECT_EQ(Step({"$string.equal", "a", "b", "skipped"}), 4);
  EXPECT_EQ(Step({"$string.equal", "a", "Key"}), 3);
  EXPECT_EQ(Step({"$string.notequal", "a", "b"}), 3);
  EXPECT_EQ(Step({"$string.equal", "a", "Key "}), 4);
}

// ---- Sets ---------------------------------------------------------------------------

TEST_F(VarCommandsTest, FindAddAddsOnceThenFinds) {
  RunBody("$int.new ran $int.set.find.add 3 $int.add ran 1 $int.set.find.add 3 $int.add ran 10 "
          "$str.set.find.add Hi $int.add ran 100 $str.set.find.add Hi $int.add ran 1000 $str.set.find.add hi");
  EXPECT_EQ(Int("ran"), 1010);
  EXPECT_EQ(game->vars->IntSetSize(), 1);
  EXPECT_EQ(game->vars->StrSetSize(), 2);
}

TEST_F(VarCommandsTest, SetCommandsMapToTheSetOperations) {
  RunBody("$int.set v 4 $string.set s \"a b\" "
          "$int.set.find.add 1 x $int.set.find.add v x $int.set.find.add 9 x $int.set.remove 1 $int.set.remove 77 "
          "$str.set.find.add s x $str.set.find.add t x $string.set.remove nothing");
  ASSERT_EQ(game->vars->IntSetSize(), 2);
  EXPECT_EQ(game->vars->IntSetAt(0), 4);
  EXPECT_EQ(game->vars->IntSetAt(1), 9);
  ASSERT_EQ(game->vars->StrSetSize(), 2);
  EXPECT_EQ(game->vars->StrSetAt(0), "a b");
  EXPECT_EQ(Step({"$string.set.remove", "s"}), 2);
  EXPECT_EQ(game->vars->StrSetAt(0), "t");
  EXPECT_EQ(Step({"$int.set.clear", "x"}), 1);
  EXPECT_EQ(Step({"$string.set.clear"}), 1);
  EXPECT_EQ(game->vars->IntSetSize() + game->vars->StrSetSize(), 0);
}

// ---- $string.get --------------------------------------------------------------------

TEST_F(VarCommandsTest, StringGetAsksUntilTheAnswerIsNotEmpty) {
  t.dir.Write("Scripts/messages.ini", "[Messages]\r\nAskName=Your name?\r\n");
  Load("___script main $string.new name $string.get name askname $int.new after ___end");
  game->mainWindow->caption = "Velmora Player v 1.2";
  t.dialogs.answers = {"", "\x18", std::string(300, 'B')};
  Run("main");
  EXPECT_EQ(Str("name"), std::string(255, 'B'));
  EXPECT_EQ(Shown(), Texts(3, "input: Velmora Player v 1.2 | Your name?"));
  EXPECT_TRUE(HasInt("after"));
}

TEST_F(VarCommandsTest, StringGetStopsAskingWhenNoAnswerCanCome) {
  RunBody("$string.set name old $string.get name nokey $int.new after");
  EXPECT_EQ(Str("name"), "");
  EXPECT_EQ(Shown(), (Texts {"input:  | "}));  // no messages file: the empty prompt
  EXPECT_TRUE(HasInt("after"));
}

TEST_F(VarCommandsTest, StringGetOnANonStringVariableDoesNothing) {
  game = &t.Make();
  game->vars->NewIntVar("n", 1);
  const size_t log = LogSize();
  EXPECT_EQ(Step({"$string.get", "n"}), 3);  // the key is not even read
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(LogSize(), log);
}

}  // namespace
}  // namespace velmora
