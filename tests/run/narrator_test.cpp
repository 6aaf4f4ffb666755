// Self-voicing through a recording Speech: what a page, a move through the choices, a box,
// a timed page and the inventory say, each once, and what silences older speech.
#include "run/narrator.h"

#include <gtest/gtest.h>

#include "base/recording_speech.h"
#include "inventory/inventory.h"
#include "inventory/inventory_window_state.h"
#include "script/script_library.h"
#include "story/choice_menu.h"
#include "base/main_window_state.h"
#include "story/page_loader.h"
#include "support/test_game.h"

namespace velmora {
namespace {

using Said = std::vector<RecordingSpeech::Utterance>;

class NarratorTest : public ::testing::Test {
 protected:
  NarratorTest() {
    t.dir.Write("config.ini", "[GameForm]\r\nCaption=The Tower\r\n");
    t.dir.Write("music.lst", "");
    t.dir.Write("Scripts/Scripts.bsf", "___script up $goto roof ___end\r\n");
    // "Привет" in Windows-1251, the code page such games are written in.
    t.dir.Write("story.qst",
                "[hall]\r\ntextsize=2\r\nLine0=You stand in the hall.\r\nLine1=\r\n"
                "ActionsCount=2\r\nAction0.Script=up\r\nAction0.LinesCount=1\r\nAction0.Line0=\"Up\" the stairs\r\n"
                "Action1.Script=none\r\nAction1.LinesCount=2\r\nAction1.Line0=Wait\r\nAction1.Line1=a while\r\n"
                "[roof]\r\ntextsize=1\r\nLine0=\xcf\xf0\xe8\xe2\xe5\xf2\r\nActionsCount=1\r\n"
                "Action0.Script=up\r\nAction0.LinesCount=1\r\nAction0.Line0=\xc4\xe0\r\n"
                "Page.Cutscene=1\r\nPage.Delay=8000\r\nPage.Action=$goto\r\nPage.Param=hall\r\n");
    game = &t.Make();
    LoadScriptLibrary(*game);
    game->mainWindow->caption = "The Tower";
    narrator = std::make_unique<Narrator>(*game, speech);
    narrator->SetEnabled(true);
    narrator->Flush();
    speech.said.clear();
    speech.stops = 0;
  }

  void Select(int index) {
    game->mainWindow->selectedChoice = index;
    game->mainWindow->Changed(MainWindowState::kSelection);
  }

  testing::TestGame t;
  RecordingSpeech speech;
  Game* game = nullptr;
  std::unique_ptr<Narrator> narrator;
};

TEST_F(NarratorTest, APageIsSaidOnceWholeAfterItsEvent) {
  game->mainWindow->caption.clear();  // a caption already said is not said again
  narrator->SetEnabled(false);
  narrator->SetEnabled(true);
  speech.said.clear();
  speech.stops = 0;
  LoadPage(*game, "hall");
  EXPECT_TRUE(speech.said.empty()) << "nothing is said while the page is being built";
  narrator->Flush();
  EXPECT_EQ(speech.said, (Said{{"You stand in the hall.", "en"}, {"2 choices", "en"}}));
  EXPECT_EQ(speech.stops, 1);
  narrator->Flush();
  EXPECT_EQ(speech.said.size(), 2u) << "a second flush finds nothing new";
}

TEST_F(NarratorTest, ACaptionIsSaidWhenItChanged) {
  narrator->SetEnabled(false);
  game->mainWindow->caption = "The Keep";
  game->mainWindow->Changed(MainWindowState::kCaption);
  narrator->SetEnabled(true);  // says the page on screen, caption first
  ASSERT_FALSE(speech.said.empty());
  EXPECT_EQ(speech.said.front().text, "The Keep");
  speech.said.clear();
  LoadPage(*game, "hall");
  narrator->Flush();
  EXPECT_EQ(speech.said.front().text, "You stand in the hall.") << "the same caption is not said again";
}

TEST_F(NarratorTest, MovingThroughTheChoicesSaysEachAsDrawnWithItsPlace) {
  LoadPage(*game, "hall");
  narrator->Flush();
  speech.said.clear();
  Select(0);
  narrator->Flush();
  Select(1);
  Select(1);  // the same highlight again is no move
  narrator->Flush();
  EXPECT_EQ(speech.said, (Said{{"Up the stairs, 1 of 2", "en"}, {"Wait a while, 2 of 2", "en"}}));
  narrator->RepeatChoice();
  EXPECT_EQ(speech.said.back().text, "Wait a while, 2 of 2");
  EXPECT_EQ(speech.stops, 4) << "each new thing silences the last";
}

TEST_F(NarratorTest, ATimedPageInRussianSaysSoAndInARussianVoice) {
  LoadPage(*game, "roof");
  narrator->Flush();
  EXPECT_EQ(speech.said, (Said{{"Привет", "ru"}, {"1 choice", "ru"}, {"timed page", "ru"}}));
  speech.said.clear();
  Select(0);
  narrator->Flush();
  EXPECT_EQ(speech.said, (Said{{"Да, 1 of 1", "ru"}}));
}

TEST_F(NarratorTest, ABoxComesAfterThePageItsScriptLoaded) {
  LoadPage(*game, "hall");
  game->dialogs().ShowMessage("\xc2\xed\xe8\xec\xe0\xed\xe8\xe5");  // "Внимание"
  EXPECT_EQ(speech.said, (Said{{"You stand in the hall.", "en"}, {"2 choices", "en"}, {"Внимание", "ru"}}));
  EXPECT_EQ(speech.stops, 1) << "the box waits for the page instead of cutting it off";
  narrator->Flush();
  EXPECT_EQ(speech.said.size(), 3u) << "the page is not said twice";
  game->dialogs().ShowError("Script failed.");
  EXPECT_EQ(speech.said.back().text, "Script failed.");
  EXPECT_EQ(speech.stops, 2) << "a box on its own silences stale speech";
}

TEST_F(NarratorTest, OffSaysNothingAndForgetsWhatChanged) {
  narrator->SetEnabled(false);
  LoadPage(*game, "hall");
  Select(1);
  game->dialogs().ShowMessage("hello");
  narrator->Flush();
  EXPECT_TRUE(speech.said.empty());
  narrator->SetEnabled(true);
  EXPECT_EQ(speech.said, (Said{{"The Tower", "en"}, {"You stand in the hall.", "en"}, {"2 choices", "en"}}))
      << "turned on, the window on screen is said, caption and all";
}

TEST_F(NarratorTest, WithoutASpeechServiceTurningOnSaysWhyAndPlayGoesOn) {
  speech.unavailable = "no speech service";
  narrator->SetEnabled(false);
  EXPECT_EQ(narrator->SetEnabled(true), "no speech service");
  LoadPage(*game, "hall");
  narrator->Flush();
  EXPECT_TRUE(narrator->Enabled());
}

TEST_F(NarratorTest, TheInventorySaysItselfAndEachEntryAsTheReaderMoves) {
  t.dir.Write("Images/default.jpg", "neutral");
  t.dir.Write("Scripts/inventory.inv",
              "[Inventory]\r\nTotalItems=1\r\n[Item0]\r\nName=lamp\r\nDisplayName=Lamp\r\nCount=1\r\nMaxCount=1\r\n"
              "Enabled=1\r\nLinesCount=1\r\nLine0=An old lamp.\r\n");
  LoadDefinitions(*game);
  game->inventoryWindow->Open(*game);
  narrator->Flush();
  EXPECT_EQ(speech.said, (Said{{"Inventory", "en"}}));
  game->inventoryWindow->Select(*game, 0);
  narrator->Flush();
  EXPECT_EQ(speech.said, (Said{{"Inventory", "en"}, {"Lamp, 1 of 1", "en"}, {"1. An old lamp.", "en"}}));
}

TEST(LanguageOfText, CyrillicMeansRussian) {
  EXPECT_EQ(LanguageOfText("Hello"), "en");
  EXPECT_EQ(LanguageOfText("Ёлка"), "ru");
  EXPECT_EQ(LanguageOfText("Ӿ"), "ru");
  EXPECT_EQ(LanguageOfText("naïve"), "en");
}

}  // namespace
}  // namespace velmora
