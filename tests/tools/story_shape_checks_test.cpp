// The checker's findings about the story's shape and its scripts, one small game each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_game.h"
#include "tools/story_checker.h"

namespace velmora {
namespace {

std::vector<std::string> Findings(const std::string& story, const std::string& scripts) {
  testing::TempDir dir;
  dir.Write("config.ini", "[Start]\r\nStartPage=a\r\n");
  dir.Write("music.lst", "");
  dir.Write("story.qst", story);
  dir.Write("Scripts/Scripts.bsf", scripts);
  dir.Write("Scripts/inventory.inv",
            "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=key\r\nPicture=k.png\r\nEquipScript=wear\r\n");
  dir.Write("Images/k.png", "");
  dir.Write("Images/default.jpg", "");
  std::vector<std::string> lines;
  for (const CheckFinding& f : CheckStory(dir.path().string() + "/").findings) lines.push_back(FormatFinding(f));
  return lines;
}

// Page a leads to b by its choice; b ends the game by its timed action.
const std::string kStory = "[a]\r\nActionsCount=1\r\nAction0.Script=go\r\n"
                           "[b]\r\nPage.Cutscene=1\r\nPage.Action=$exit\r\n";

TEST(StoryShapeChecksTest, WhatTheCheckerFindsInTheStorysShape) {
  const struct {
    const char* what;
    std::string story;
    std::string scripts;
    std::vector<std::string> expected;
  } cases[] = {
      {"a sound game: scripts run by choices, $run, a string value, an item's button; labels jumped to",
       kStory,
       "___script go $int.new n $int.add n 1 $string.set s later $run s .label L $goto b .end $jump L ___end "
       "___script later $string.new t $string.split t x ___end ___script wear $inventory.add key 1 ___end",
       {}},
      {"a dead end",
       "[a]\r\nActionsCount=1\r\nAction0.Script=go\r\n[b]\r\nLine0=x\r\n",
       "___script go $goto b ___end ___script wear ___end",
       {"story.qst: warning: page b is a dead end: no choice, timed action or fast answer leads on from it, and none "
        "ends the game"}},
      {"a script nothing runs",
       kStory,
       "___script go $goto b ___end ___script wear ___end ___script orphan $goto a ___end",
       {"Scripts\\Scripts.bsf: warning: script orphan is run by nothing: no choice, page action, fast answer, item or "
        "$run names it"}},
      {"a label nothing jumps to",
       kStory,
       "___script go .label unused $goto a .end $goto b ___end ___script wear ___end",
       {"Scripts\\Scripts.bsf: warning: script go: label unused is jumped to by nothing"}},
      {"variables read that nothing creates, each reported once a script; a string is no integer",
       kStory,
       "___script go $int.add n 1 $int.equal n 2 $string.set s x $int.random s 3 $inventory.DisplayName key name "
       "$goto b ___end ___script wear ___end",
       {"Scripts\\Scripts.bsf: warning: script go: $int.add reads integer variable n, which no script creates",
        "Scripts\\Scripts.bsf: warning: script go: $int.random reads integer variable s, which no script creates",
        "Scripts\\Scripts.bsf: warning: script go: $inventory.DisplayName reads string variable name, which no script "
        "creates"}},
      {"items used or given that inventory.inv does not define",
       kStory,
       "___script go $inventory.add lamp 1 $inventory.Use rope $goto b ___end ___script wear ___end",
       {"Scripts\\Scripts.bsf: error: item lamp named by script go ($inventory.add) has no definition",
        "Scripts\\Scripts.bsf: error: item rope named by script go ($inventory.Use) has no definition"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Findings(c.story, c.scripts), c.expected) << c.what;
}

}  // namespace
}  // namespace velmora
