// $action.SetState: writes one action's enabled state into the story file, nothing else.
#include <gtest/gtest.h>

#include "base/fault.h"
#include "base/main_window_state.h"
#include "story/page_loader.h"
#include "story/story_commands.h"
#include "story_fixture.h"
#include "vars/var_store.h"

namespace velmora {
namespace {

using testing::StoryTest;

class SetStateTest : public StoryTest {
 protected:
  void SetUp() override {
    WriteStory({{"Cellar", {{"ActionsCount", "2"}, {"Action0.LinesCount", "1"}, {"Action0.Line0", "down"},
                            {"Action1.LinesCount", "1"}, {"Action1.Line0", "up"}}}});
  }
  // Runs the command at position 1 of a list that has one token before it.
  int32_t Run(std::vector<std::string> args) {
    std::vector<std::string> tokens = {"before", "$action.SetState"};
    tokens.insert(tokens.end(), args.begin(), args.end());
    return testing::RunCommand(*game, tokens, CmdActionSetState, 1);
  }
  std::string Enabled(const std::string& key) { return game->story->ReadText("cellar", key, "(none)"); }
};

TEST_F(SetStateTest, WritesTheStateOfTheNamedAction) {
  struct Case {
    const char* action;
    const char* state;
    const char* key;
    const char* written;
  };
  const Case cases[] = {
      {"1", "0", "Action1.Enabled", "0"},
      {"1", "1", "Action1.Enabled", "1"},
      {"0", "2", "Action0.Enabled", "0"},   // any state but 1 disables
      {"0", "-1", "Action0.Enabled", "0"},
      {"0", "$1", "Action0.Enabled", "1"},  // an integer literal in any of its forms
      {"which", "0", "Action1.Enabled", "0"},         // an integer variable names the action
      {"door", "0", "Actiondoor.Enabled", "0"},       // neither variable nor number: taken as text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.action) + " " + c.state);
    Make();
    game->vars->NewIntVar("which", 1);
    EXPECT_EQ(Run({"CELLAR", c.action, c.state}), 5);
    EXPECT_EQ(Enabled(c.key), c.written);
  }
}

// The page shown keeps its choices until it is loaded again.
TEST_F(SetStateTest, ChangesShowAtTheNextLoad) {
  Make();
  LoadPage(*game, "cellar");
  Run({"cellar", "0", "0"});
  EXPECT_EQ(game->mainWindow->choiceItems.size(), 2u);
  LoadPage(*game, "cellar");
  EXPECT_EQ(game->mainWindow->choiceItems, (std::vector<std::string>{"up\r\n"}));
}

// Without a section nothing is read or written, so a bad state or missing tokens pass.
TEST_F(SetStateTest, PageWithoutSectionWritesNothing) {
  Make();
  const std::string before = t.dir.Read("story.qst");
  EXPECT_EQ(Run({"attic", "0", "zero"}), 5);
  EXPECT_EQ(Run({"attic"}), 5);
  EXPECT_EQ(t.dir.Read("story.qst"), before);
}

TEST_F(SetStateTest, NonNumericStateFaultsBeforeWriting) {
  Make();
  const std::string before = t.dir.Read("story.qst");
  try {
    Run({"cellar", "0", "on"});
    FAIL();
  } catch (const RuntimeFault& fault) {
    EXPECT_STREQ(fault.what(), "'on' is not a valid integer value");
  }
  EXPECT_EQ(t.dir.Read("story.qst"), before);
}

}  // namespace
}  // namespace velmora
