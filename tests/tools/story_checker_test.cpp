// The story checker's closing line and its view of the story's list of pages.
#include "tools/story_checker.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_game.h"

namespace velmora {
namespace {

class StoryCheckerTest : public ::testing::Test {
 protected:
  StoryCheckerTest() {
    dir.Write("config.ini", "[Start]\r\nStartMusic=theme\r\n");
    dir.Write("music.lst", "[theme]\r\nTrack=theme.ogg\r\n");
    dir.Write("Music/theme.ogg", "");
    dir.Write("Scripts/Scripts.bsf", "___script go\r\n$goto end\r\n___end\r\n");
    dir.Write("Scripts/inventory.inv", "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=lamp\r\nPicture=lamp.png\r\n");
    for (const char* picture : {"a.jpg", "B.JPG", "lamp.png", "default.jpg"}) dir.Write(std::string("Images/") + picture, "");
  }
  void WriteStory(const std::string& writerList) {
    dir.Write("story.qst", writerList +
                               "[gamestart]\r\nQuestPicture=a.jpg\r\nActionsCount=1\r\nAction0.Script=go\r\n"
                               "[end]\r\nQuestPicture=b.jpg\r\nPage.Cutscene=1\r\nPage.Action=$exit\r\n");
  }
  CheckReport Check() { return CheckStory(dir.path().string() + "/"); }
  testing::TempDir dir;
};

TEST_F(StoryCheckerTest, AllIsWellEndsWithWhatWasChecked) {
  WriteStory("[WriterList]\r\nCount=2\r\nPage0=gamestart\r\nPage1=END\r\n");
  const CheckReport report = Check();
  for (const CheckFinding& f : report.findings) ADD_FAILURE() << FormatFinding(f);
  EXPECT_EQ(FormatSummary(report), "all is well: 2 pages, 1 script, 1 item, 1 track and 4 pictures checked");
}

TEST_F(StoryCheckerTest, AListEntryThatNamesNoPageIsReportedAsStartUpWarnsOfIt) {
  // Page1 names no section; Page2 is missing and reads as "nil".
  WriteStory("[WriterList]\r\nCount=3\r\nPage0=gamestart\r\nPage1=lost\r\n");
  const CheckReport report = Check();
  ASSERT_EQ(report.findings.size(), 2u);
  EXPECT_EQ(FormatFinding(report.findings[0]),
            "story.qst: warning: [WriterList] Page1 names lost, which has no section; start-up warns \"lost ---not found!\"");
  EXPECT_EQ(FormatFinding(report.findings[1]),
            "story.qst: warning: [WriterList] Page2 names nil, which has no section; start-up warns \"nil ---not found!\"");
  EXPECT_EQ(FormatSummary(report), "no errors, 2 warnings: 2 pages, 1 script, 1 item, 1 track and 4 pictures checked");
}

TEST_F(StoryCheckerTest, TheClosingLineCountsErrorsAndWarnings) {
  WriteStory("[WriterList]\r\nCount=1\r\nPage0=lost\r\n");
  std::filesystem::remove(dir.path() / "Images/a.jpg");
  const CheckReport report = Check();
  EXPECT_EQ(FormatSummary(report), "1 error and 1 warning: 2 pages, 1 script, 1 item, 1 track and 4 pictures checked");
}

// What start-up refuses besides a missing file is an error here too, in its own words.
TEST_F(StoryCheckerTest, AStoryFileTooLargeOrOutsideTheFolderIsAnError) {
  WriteStory("");
  std::filesystem::resize_file(dir.path() / "story.qst", (uintmax_t{1} << 30) + 1);  // sparse
  dir.Write("config.ini", "[Files]\r\nMusicList=..\\music.lst\r\n");
  const CheckReport report = Check();
  ASSERT_EQ(report.findings.size(), 2u);
  EXPECT_EQ(FormatFinding(report.findings[0]), "config.ini: error: story file story.qst is too large");
  EXPECT_EQ(FormatFinding(report.findings[1]), "config.ini: error: tracklist ..\\music.lst is outside the game folder");
}

}  // namespace
}  // namespace velmora
