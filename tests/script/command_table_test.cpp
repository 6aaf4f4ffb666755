// Every row of the command table run once on a minimal token list: the dispatcher moves
// the position as the row says, and no handler moves it as well.
#include <gtest/gtest.h>

#include "audio/sound_effects.h"
#include "run/command_language.h"
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
  t.dir.Write("story.qst", testing::PagesStory({"1", "gamestart"}));
  t.dir.Write("Images/default.jpg", "");  // the inventory window shows it
  cwd.dir.Write("pic.png", "");
  cwd.dir.Write("text.txt", "text");
  for (const CommandInfo& row : LanguageCommands()) {
    SCOPED_TRACE(row.name);
    Load("___script none ___end");     // a fresh game for each row
    game->sounds->deviceOpen = true;  // $player.stopsound needs a sound played before
    // Both sets hold 1 and no variable is named 1: comparisons fail, set tests find 1.
    game->vars->IntSetAdd(1);
    game->vars->StrSetAdd("1");
    const std::string name = row.name;
    Texts tokens = {row.name, "1", "1", "1", "1", "1", "1", "1", "1"};
    if (name == "$form.SetPic") tokens[1] = "pic.png";
    if (name == "$form.LoadTextFromFile") tokens[1] = "text.txt";
    if (name == ".label") tokens = {".label", "L", "x", ".end", "1"};
    const bool holds = name == "$int.set.find" || name == "$string.set.find" || name == "$int.set.find.add" ||
                       name == "$str.set.find.add";
    int32_t expected = 0;
    switch (row.advance) {
      case Advance::kFixed:
        expected = row.width;
        break;
      case Advance::kTest:
        expected = holds ? row.width : row.width + 1;
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
