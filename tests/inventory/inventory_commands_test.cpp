#include <filesystem>

#include "inventory/inventory_commands.h"
#include "inventory_fixture.h"
#include "base/fault.h"
#include "base/main_window_state.h"
#include "vars/var_store.h"

namespace velmora::testing {
namespace {

// Runs one command on the tokens and returns the position it moved to.
int32_t Exec(Game& game, CommandAction handler, std::vector<std::string> words) {
  return RunCommand(game, std::move(words), handler);
}

class CommandTest : public InventoryTest {
 protected:
  void SetUp() override {
    Define("[Inventory]\nTotalItems=3\n"
           "[Item0]\nName=apple\nDisplayName=Red apple\nCount=0\nMaxCount=1\nScript=eat\n"
           "[Item1]\nName=coin\nDisplayName=Coin\nCount=3\nMaxCount=10\nEnabled=1\n"
           "[Item2]\nName=rock\nDisplayName=Rock\nCount=1\nEnabled=1\n");
    ClearLog();
  }
  int32_t IntVar(const std::string& name) { return game->vars->IntValue(game->vars->FindVar(name, false)); }
  std::string StrVar(const std::string& name) {
    return std::string(game->vars->StrValue(game->vars->FindVar(name, true)));
  }
  bool Saved() const { return std::filesystem::exists(StatePath()); }
};

TEST_F(CommandTest, ShowReloadsAndOpensOnTheMainWindowCorner) {
  game->mainWindow->left = 30;
  game->mainWindow->top = 40;
  EXPECT_EQ(Exec(*game, CmdInventoryShow, {"$inventory.show", "0", "$inventory.add"}), 2);
  EXPECT_TRUE(window().visible);
  EXPECT_EQ(window().left, 30);
  EXPECT_EQ(window().top, 40);
  EXPECT_EQ(window().entries, (std::vector<std::string>{"Coin", "Rock"}));
  EXPECT_EQ(Log().size(), 3u);  // the reload's three "already exists" warnings
  EXPECT_EQ(Exec(*game, CmdInventoryHide, {"$inventory.hide", "0"}), 2);
  EXPECT_FALSE(window().visible);
  EXPECT_EQ(inv().Size(), 3);
}

TEST_F(CommandTest, AddThenGetItemCount) {
  game->vars->NewIntVar("n", 0);
  EXPECT_EQ(Exec(*game, CmdInventoryAdd, {"$inventory.add", "apple", "2"}), 3);
  EXPECT_EQ(Exec(*game, CmdInventoryGetItemCount, {"$inventory.GetItemCount", "apple", "n"}), 3);
  EXPECT_EQ(IntVar("n"), 1);
  EXPECT_TRUE(inv().Enabled(0));
  EXPECT_TRUE(Saved());
  Exec(*game, CmdInventoryGetItemCount, {"$inventory.GetItemCount", "Apple", "n"});
  EXPECT_EQ(IntVar("n"), -1);
}

TEST_F(CommandTest, AmountIsAnIntegerOperand) {
  game->vars->NewIntVar("k", 4);
  Exec(*game, CmdInventoryAdd, {"$inventory.add", "coin", "k"});
  EXPECT_EQ(inv().Count(1), 7);
  Exec(*game, CmdInventoryRemove, {"$inventory.remove", "coin", "$10"});
  EXPECT_EQ(inv().Count(1), 0);
  EXPECT_FALSE(inv().Enabled(1));
}

TEST_F(CommandTest, FaultsBeforeAnythingChanges) {
  struct Case {
    CommandAction handler;
    std::vector<std::string> words;
    std::string message;
  };
  const Case cases[] = {
      {CmdInventoryAdd, {"$inventory.add", "coin", "lots"}, "'lots' is not a valid integer value"},
      {CmdInventoryRemove, {"$inventory.remove", "coin"}, "List index out of bounds (2)"},
      {CmdInventoryUse, {"$inventory.Use"}, "List index out of bounds (1)"},
      {CmdInventoryDisplayName, {"$inventory.DisplayName", "coin"}, "List index out of bounds (2)"},
  };
  for (const auto& c : cases) {
    try {
      Exec(*game, c.handler, c.words);
      ADD_FAILURE() << c.words[0];
    } catch (const RuntimeFault& fault) {
      EXPECT_EQ(std::string(fault.what()), c.message);
    }
  }
  EXPECT_EQ(inv().Count(1), 3);
  EXPECT_FALSE(Saved());
}

TEST_F(CommandTest, UsableReportsZeroForAHeldItem) {
  game->vars->NewIntVar("u", 7);
  const std::pair<const char*, int32_t> cases[] = {{"coin", 0}, {"apple", 1}, {"pear", 1}};  // pear: unchanged
  for (const auto& [item, expected] : cases) {
    EXPECT_EQ(Exec(*game, CmdInventoryUsable, {"$inventory.Usable", item, "u"}), 3);
    EXPECT_EQ(IntVar("u"), expected) << item;
  }
}

TEST_F(CommandTest, DisplayNameCopiesOrEmpties) {
  game->vars->NewStrVar("s", "before");
  ClearLog();
  EXPECT_EQ(Exec(*game, CmdInventoryDisplayName, {"$inventory.DisplayName", "apple", "s", "next"}), 3);
  EXPECT_EQ(StrVar("s"), "Red apple");
  Exec(*game, CmdInventoryDisplayName, {"$inventory.DisplayName", "nothing", "s"});
  EXPECT_EQ(StrVar("s"), "");
  EXPECT_TRUE(Log().empty());
}

TEST_F(CommandTest, MissingResultVariableIsLoggedNotCreated) {
  game->vars->NewStrVar("n", "a string, not an integer");
  ClearLog();
  EXPECT_EQ(Exec(*game, CmdInventoryGetItemCount, {"$inventory.GetItemCount", "coin", "n"}), 3);
  EXPECT_EQ(Exec(*game, CmdInventoryUsable, {"$inventory.Usable", "coin", "m"}), 3);
  EXPECT_EQ(Exec(*game, CmdInventoryDisplayName, {"$inventory.DisplayName", "coin", "m"}), 3);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Error:Variable n not found!", "Error:Variable m not found!",
                                             "Error:Variable m not found!"}));
  EXPECT_EQ(game->vars->FindVar("n", false), -1);
  EXPECT_EQ(game->vars->FindVar("m", false), -1);
  EXPECT_EQ(game->vars->FindVar("m", true), -1);
  EXPECT_EQ(StrVar("n"), "a string, not an integer");
}

TEST_F(CommandTest, UseRunsTheItemsScriptThenSaves) {
  Scripts("___script eat $inventory.remove apple 1 $inventory.add coin 1 ___end");
  AddItemCount(*game, "apple", 1);
  std::filesystem::remove(StatePath());
  EXPECT_EQ(Exec(*game, CmdInventoryUse, {"$inventory.Use", "apple"}), 2);
  EXPECT_EQ(inv().Count(0), 0);
  EXPECT_EQ(inv().Count(1), 4);
  EXPECT_EQ(IniDocument(tg.files, StatePath()).ReadInteger("Item1", "Count", 0), 4);
}

TEST_F(CommandTest, UseOfAnUnknownItemDoesNothing) {
  EXPECT_EQ(Exec(*game, CmdInventoryUse, {"$inventory.Use", "pear"}), 2);
  EXPECT_TRUE(Log().empty());
  EXPECT_FALSE(Saved());
}

TEST_F(CommandTest, UseWithoutAScriptLogsAndStillSaves) {
  EXPECT_EQ(Exec(*game, CmdInventoryUse, {"$inventory.Use", "coin"}), 2);
  EXPECT_EQ(Log(), std::vector<std::string>{"Error:Script Error! Script  not found!"});
  EXPECT_TRUE(Saved());
  UseItemScript(*game, "nosuch");
  EXPECT_EQ(Log().back(), "Error:Script Error! Script nosuch not found!");
}

TEST_F(CommandTest, CommandsRunFromAScript) {
  // Through the interpreter: $inventory.show's ignored token is not executed, and an
  // item script nested in $inventory.Use finishes before the next command.
  Scripts("___script main $inventory.show $inventory.hide $inventory.add coin 2 $inventory.Use apple "
          "$int.new n 0 $inventory.GetItemCount coin n ___end "
          "___script eat $inventory.add coin 5 ___end");
  RunScript(*game, "main");
  EXPECT_TRUE(window().visible);
  EXPECT_EQ(IntVar("n"), 10);
}

}  // namespace
}  // namespace velmora::testing
