// The real program under Xvfb: it starts on a small game, xdotool double-clicks a choice
// as a player would, and the log shows the page that choice leads to. The screenshot taken
// after the click is kept under the build folder (tests/ui/artifacts).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/test_game.h"

namespace velmora {
namespace {

bool Installed(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(XvfbProgramTest, ADoubleClickedChoiceLeadsToItsPage) {
  for (const char* tool : {"Xvfb", "xdotool", "import"})
    if (!Installed(tool)) GTEST_SKIP() << tool << " is not installed";

  testing::TempDir game;
  // The list's second item is 16 pixels high, 17 pixels into the list, which starts below
  // the frame (1), the title bar (30), the picture (337) and the story text (208).
  game.Write("config.ini", "[GameForm]\nCaption=Xvfb Test Game\nLeft=0\nTop=0\nWidth=640\nHeight=700\n");
  game.Write("music.lst", "");
  game.Write("Scripts/messages.ini", "[Messages]\n");
  game.Write("Scripts/Scripts.bsf", "___script go_left $goto left ___end\n___script go_hall $goto hall ___end\n");
  game.Write("story.qst",
             "[gamestart]\ntextsize=1\nLine0=Two doors.\nActionsCount=2\n"
             "Action0.Script=go_left\nAction0.LinesCount=1\nAction0.Line0=The left door\n"
             "Action1.Script=go_hall\nAction1.LinesCount=1\nAction1.Line0=The hall\n"
             "[left]\ntextsize=1\nLine0=Wrong way.\n"
             "[hall]\ntextsize=1\nLine0=The hall. The game ends by itself.\n"
             "Page.Cutscene=1\nPage.Delay=1500\nPage.Action=$exit\n");

  const std::filesystem::path artifacts = UI_ARTIFACTS;
  std::filesystem::create_directories(artifacts);
  const std::string shot = (artifacts / "xvfb-after-double-click.png").string();
  const std::string folder = game.path().string();
  const std::string script = game.Write("run.sh",
                                        "set -u\n"
                                        "cd '" + folder + "'\n"
                                        "'" VELMORA_PLAYER "' --game '" + folder + "' --no-audio &\n"
                                        "PID=$!\n"
                                        "WID=\n"
                                        "for i in $(seq 50); do\n"
                                        "  WID=$(xdotool search --onlyvisible --name 'Xvfb Test Game' | head -1)\n"
                                        "  [ -n \"$WID\" ] && break\n"
                                        "  sleep 0.2\n"
                                        "done\n"
                                        "[ -n \"$WID\" ] || { kill $PID; exit 3; }\n"
                                        "sleep 0.5\n"
                                        "xdotool mousemove --window $WID 60 601 click --repeat 2 --delay 80 1\n"
                                        "sleep 0.4\n"
                                        "import -window root '" + shot + "'\n"
                                        "wait $PID\n");
  // A server of its own, on a display it picks itself (tests side by side never share one).
  const std::string command = "env -u QT_QPA_PLATFORM timeout 60 '" WITH_XVFB "' 1280x1024x24 sh '" + script +
                              "' >'" + folder + "/run.out' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << game.Read("run.out");

  const std::string log = game.Read("LastStart.log");
  EXPECT_NE(log.find("Loading Page: hall\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("Loading Page: left\r\n"), std::string::npos) << log;
  EXPECT_NE(game.Read("config.ini").find("Page=hall"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(shot));
}

}  // namespace
}  // namespace velmora
