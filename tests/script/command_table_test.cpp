// Every row of the command table run once on a minimal token list: the dispatcher moves
// the position as the row says, and no handler moves it as well.
#include <gtest/gtest.h>

#include "audio/sound_effects.h"
#include "script/command_table.h"
#include "script/interpreter.h"
#include "script_fixture.h"
#include "support/game_folder_fixture.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

using Texts = std::vector<std::string>;

class CommandRowsTest : public testing::ScriptTest {
 protected:
  testing::CurrentDirectory cwd;  // the $form file commands read from here
};

TEST_F(CommandRowsTest, EveryRowLandsWhereItsAdvanceSays) {
  Load("___script none ___end");
  t.dir.Write("Images/default.jpg", "");  // the inventory window shows it
  cwd.dir.Write("pic.png", "");
  cwd.dir.Write("text.txt", "text");
  game->sounds->deviceOpen = true;  // $player.stopsound needs a sound played before
  // Both sets hold 1, so that every test of the minimal list fails: comparisons name no
  // variable, find.add finds, CantFind finds.
  game->vars->IntSetAdd(1);
  game->vars->StrSetAdd("1");
  for (const CommandInfo& row : kCommands) {
    SCOPED_TRACE(row.name);
    Texts tokens = {row.name, "1", "1", "1", "1", "1", "1", "1", "1"};
    if (row.name == std::string("$form.SetPic")) tokens[1] = "pic.png";
    if (row.name == std::string("$form.LoadTextFromFile")) tokens[1] = "text.txt";
    if (row.name == std::string(".label")) tokens = {".label", "L", "x", ".end", "1"};
    // A failed find.add adds; the sets must hold 1 for it to find.
    const bool findAdd = row.name == std::string("$int.set.find.add") || row.name == std::string("$str.set.find.add");
    int32_t expected = 0;
    switch (row.advance) {
      case Advance::kFixed:
        expected = row.width;
        break;
      case Advance::kTest:
        expected = findAdd ? row.width : row.width + 1;
        break;
      case Advance::kLoop:
        expected = row.width;  // $while "1" is false; $cycle 1 1 runs the body "1" once
        break;
      case Advance::kToTerminator:
        expected = 4;
        break;
      case Advance::kEndsList:
        expected = static_cast<int32_t>(tokens.size()) + 1;
        break;
    }
    int32_t p = 0;
    try {
      p = Step(tokens);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
    EXPECT_EQ(p, expected);
  }
}

}  // namespace
}  // namespace velmora
