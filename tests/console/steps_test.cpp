// The step syntax of replay files and of the terminal player.
#include <gtest/gtest.h>

#include <sstream>

#include "console/replay_runner.h"
#include "console/steps.h"

namespace velmora {
namespace {

TEST(StepsTest, ParsesEveryStep) {
  const struct {
    const char* line;
    StepKind kind;
    int64_t number;
    const char* text;
  } cases[] = {
      {"choose 3", StepKind::kChoose, 3, ""},
      {"  CHOOSE   12  ", StepKind::kChoose, 12, ""},
      {"choose none", StepKind::kChooseNone, 0, ""},
      {"choose 2 # the lantern", StepKind::kChoose, 2, ""},
      {"wait 0", StepKind::kWait, 0, ""},
      {"wait 86400000", StepKind::kWait, 86400000, ""},
      {"answer Ника", StepKind::kAnswer, 0, "Ника"},
      {"answer   Room #5  ", StepKind::kAnswer, 0, "Room #5"},  // an answer is taken as written
      {"answer", StepKind::kAnswer, 0, ""},
      {"answer Cancel", StepKind::kCancel, 0, ""},
      {"cancel", StepKind::kCancel, 0, ""},
      {"inventory", StepKind::kInventory, 0, ""},
      {"inventory select 2", StepKind::kInventorySelect, 2, ""},
      {"inventory use", StepKind::kInventoryUse, 0, ""},
      {"inventory wear", StepKind::kInventoryWear, 0, ""},
      {"inventory close", StepKind::kInventoryClose, 0, ""},
      {"audio", StepKind::kAudio, 0, ""},
      {"audio volume 150", StepKind::kAudioVolume, 150, ""},
      {"audio balance -5", StepKind::kAudioBalance, -5, ""},
      {"audio ok", StepKind::kAudioOk, 0, ""},
      {"audio close", StepKind::kAudioClose, 0, ""},
      {"show", StepKind::kShow, 0, ""},
      {"import 4 /tmp/My Saves/Slot #1.sav", StepKind::kImport, 4, "/tmp/My Saves/Slot #1.sav"},  // as written
      {"quit", StepKind::kQuit, 0, ""},
      {"", StepKind::kNone, 0, ""},
      {"   # a comment", StepKind::kNone, 0, ""},
  };
  for (const auto& c : cases) {
    Step step;
    std::string error;
    ASSERT_TRUE(ParseStep(c.line, step, error)) << c.line << ": " << error;
    EXPECT_EQ(step.kind, c.kind) << c.line;
    EXPECT_EQ(step.number, c.number) << c.line;
    EXPECT_EQ(step.text, c.text) << c.line;
  }
}

TEST(StepsTest, RejectsWhatIsNoStep) {
  for (const char* line : {"choose", "choose 0", "choose -1", "choose two", "choose 1 2", "wait", "wait -5",
                           "wait 86400001", "wait 1.5", "inventory select", "inventory select 0", "inventory drop",
                           "audio volume", "audio volume loud", "audio mute", "show all", "quit now", "3", "jump",
                           "import", "import 3", "import 0 a.sav", "import 100 a.sav", "import a.sav"}) {
    Step step;
    std::string error;
    EXPECT_FALSE(ParseStep(line, step, error)) << line;
    EXPECT_FALSE(error.empty()) << line;
  }
}

TEST(StepsTest, ABareNumberChoosesOnlyWhereAPersonTypes) {
  Step step;
  std::string error;
  ASSERT_TRUE(ParseStep("2", step, error, true));
  EXPECT_EQ(step.kind, StepKind::kChoose);
  EXPECT_EQ(step.number, 2);
  EXPECT_FALSE(ParseStep("0", step, error, true));
}

TEST(StepsTest, AReplayFileWithAWrongLineIsRefusedWhole) {
  std::istringstream file("# start\nchoose 1\n\nchoose x\nwait 100\njump 3\n");
  std::vector<Step> steps;
  std::vector<std::string> errors;
  EXPECT_FALSE(ReadReplay(file, steps, errors));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind("line 4: ", 0), 0u) << errors[0];
  EXPECT_EQ(errors[1], "line 6: unknown step: jump 3");
}

}  // namespace
}  // namespace velmora
