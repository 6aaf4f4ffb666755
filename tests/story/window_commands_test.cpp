// The $form commands and their faults: what a command changed before a bad argument stays.
#include "story/story_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/fault.h"
#include "base/main_window_state.h"
#include "support/game_folder_fixture.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

using testing::CurrentDirectory;
using testing::TestGame;
using testing::Undated;
using Lines = std::vector<std::string>;

class FormCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.dir.Write("story.qst", "[letter]\r\ntextsize=2\r\nLine0=Dear $_name,\r\nLine1=farewell.\r\n");
    Game& g = game.Make();
    window = g.mainWindow.get();
    window->left = 1, window->top = 2, window->height = 3, window->width = 4;
    window->storyLines = {"old text"};
    window->onChanged = [this](unsigned parts) { changes.push_back(parts); };
  }
  // Runs one command; the fault's message, or "" when it ran through.
  std::string Run(CommandAction handler, const Lines& tokens) {
    try {
      EXPECT_EQ(testing::RunCommand(game.game(), tokens, handler), static_cast<int32_t>(tokens.size()));
    } catch (const RuntimeFault& f) {
      return f.what();
    }
    return "";
  }
  std::vector<int> Geometry() const { return {window->left, window->top, window->height, window->width}; }

  CurrentDirectory cwd;
  TestGame game;
  MainWindowState* window = nullptr;
  std::vector<unsigned> changes;
};

struct GeometryCase {
  CommandAction handler;
  Lines tokens;
  std::vector<int> geometry;  // left, top, height, width afterwards (from 1, 2, 3, 4)
  const char* fault;
};

TEST_F(FormCommandsTest, SizeAndPositionKeepWhatWasSetBeforeABadArgument) {
  const GeometryCase cases[] = {
      {CmdFormSetSize, {"$form.SetSize", "600", "800"}, {1, 2, 600, 800}, ""},
      {CmdFormSetPos, {"$form.SetPos", "100", "50"}, {100, 50, 3, 4}, ""},
      {CmdFormSetPos, {"$form.SetPos", "$10", "0x20"}, {16, 32, 3, 4}, ""},
      {CmdFormSetPos, {"$form.SetPos", "100", "top"}, {1, 2, 3, 4}, "'top' is not a valid integer value"},
      {CmdFormSetPos, {"$form.SetPos", "left", "50"}, {1, 50, 3, 4}, "'left' is not a valid integer value"},
      {CmdFormSetSize, {"$form.SetSize", "600", "8px"}, {1, 2, 600, 4}, "'8px' is not a valid integer value"},
      {CmdFormSetSize, {"$form.SetSize", "600"}, {1, 2, 600, 4}, "List index out of bounds (2)"},
      {CmdFormSetPos, {"$form.SetPos", "100"}, {1, 2, 3, 4}, "List index out of bounds (2)"},
  };
  for (const auto& c : cases) {
    window->left = 1, window->top = 2, window->height = 3, window->width = 4;
    changes.clear();
    EXPECT_EQ(Run(c.handler, c.tokens), c.fault) << c.tokens[0] << ' ' << c.tokens[1];
    EXPECT_EQ(Geometry(), c.geometry) << c.tokens[0] << ' ' << c.tokens[1];
    // Every change made is shown, also when a fault follows it.
    const bool changed = c.geometry != std::vector<int>{1, 2, 3, 4};
    EXPECT_EQ(!changes.empty(), changed) << c.tokens[0] << ' ' << c.tokens[1];
  }
}

TEST_F(FormCommandsTest, LoadTextFromPage) {
  game.game().vars->NewStrVar("name", "Ann");
  EXPECT_EQ(Run(CmdFormLoadTextFromPage, {"$form.LoadTextFromPage", "LETTER"}), "");
  EXPECT_EQ(window->storyLines, (Lines {"Dear Ann,", "farewell."}));
  EXPECT_EQ(Run(CmdFormLoadTextFromPage, {"$form.LoadTextFromPage", "nowhere"}), "");
  EXPECT_TRUE(window->storyLines.empty());
  const Lines log = Undated(game.game().log.Lines());
  EXPECT_EQ(std::count(log.begin(), log.end(), " | Loading Page text..."), 2);
}

TEST_F(FormCommandsTest, LoadTextFromFileInTheCurrentDirectory) {
  game.game().vars->NewStrVar("name", "Ann");
  cwd.dir.Write("notes/Letter.txt", "Dear $_name,\r\nLF\nCR\rlast");
  EXPECT_EQ(Run(CmdFormLoadTextFromFile, {"$form.LoadTextFromFile", "NOTES\\letter.TXT"}), "");
  EXPECT_EQ(window->storyLines, (Lines {"Dear Ann,", "LF", "CR", "last"}));
  EXPECT_EQ(changes, std::vector<unsigned> {MainWindowState::kStoryText});  // the caret is left alone

  cwd.dir.Write("empty.txt", "");
  EXPECT_EQ(Run(CmdFormLoadTextFromFile, {"$form.LoadTextFromFile", "empty.txt"}), "");
  EXPECT_TRUE(window->storyLines.empty());
}

TEST_F(FormCommandsTest, LoadTextFromFileThatCannotBeOpened) {
  game.dir.Write("in-game-folder.txt", "the game folder is not where it looks");
  const std::string here = std::filesystem::current_path().string();
  const std::pair<const char*, std::string> cases[] = {
      {"in-game-folder.txt", "Cannot open file \"" + here + "/in-game-folder.txt\". No such file or directory"},
      {"notes", "Cannot open file \"" + here + "/notes\". Is a directory"},
  };
  std::filesystem::create_directory(cwd.dir.path() / "notes");
  for (const auto& [file, fault] : cases) {
    EXPECT_EQ(Run(CmdFormLoadTextFromFile, {"$form.LoadTextFromFile", file}), fault);
    EXPECT_EQ(window->storyLines, Lines {"old text"});
  }
}

TEST_F(FormCommandsTest, SetPicFromTheCurrentDirectory) {
  cwd.dir.Write("Pics/Door.png", "");
  EXPECT_EQ(Run(CmdFormSetPic, {"$form.SetPic", "pics\\door.PNG"}), "");
  EXPECT_EQ(window->pictureFile, "pics\\door.PNG");
  ASSERT_NE(window->picture, nullptr);
  const auto shown = window->picture;
  EXPECT_EQ(Run(CmdFormSetPic, {"$form.SetPic", "door.gif"}), "Unknown picture file extension (.gif)");
  EXPECT_EQ(Run(CmdFormSetPic, {"$form.SetPic", "none.jpg"}).rfind("Cannot open file \"", 0), 0u);
  EXPECT_EQ(window->picture, shown);  // a failed load keeps the picture shown
  EXPECT_EQ(window->pictureFile, "pics\\door.PNG");
}

}  // namespace
}  // namespace velmora
