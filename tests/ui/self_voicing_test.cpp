// Self-voicing in the windows: its keys work where the reader is (the choice list has the
// focus), moves through the list are said once each, and the setting is remembered.
#include "ui/self_voicing.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

#include "base/recording_speech.h"
#include "library/player_settings.h"
#include "story/page_loader.h"
#include "ui/choice_list.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

using Said = std::vector<RecordingSpeech::Utterance>;

class SelfVoicingTest : public testing::MainWindowTest {
 protected:
  void MakeAndShow() {
    Game& game = Make("[hall]\ntextsize=1\nLine0=A dark hall.\nActionsCount=2\n"
                      "Action0.Script=a\nAction0.LinesCount=1\nAction0.Line0=North\n"
                      "Action1.Script=b\nAction1.LinesCount=1\nAction1.Line0=South\n");
    LoadPage(game, "hall");
    voicing = std::make_unique<SelfVoicing>(game, *window, speech, PlayerSettingsFile(tg.files, SettingsPath()));
    Show();
    window->activateWindow();
    window->choiceList->setFocus();
  }
  std::string SettingsPath() const { return tg.dir.path().string() + "/settings/settings.ini"; }
  // Lets the posted narration run.
  static void Settle() { QTest::qWait(20); }

  RecordingSpeech speech;
  std::unique_ptr<SelfVoicing> voicing;
};

TEST_F(SelfVoicingTest, KeysInTheChoiceListSpeakAndTheSettingIsKept) {
  MakeAndShow();
  EXPECT_TRUE(speech.said.empty()) << "off until the reader turns it on";
  QTest::keyClick(window->choiceList, Qt::Key_V);
  Settle();
  EXPECT_TRUE(voicing->toggle->isChecked());
  EXPECT_EQ(speech.said, (Said{{"A dark hall.", "en"}, {"2 choices", "en"}}));
  EXPECT_TRUE(PlayerSettingsFile(tg.files, SettingsPath()).Load().selfVoicing);

  speech.said.clear();
  QTest::keyClick(window->choiceList, Qt::Key_Down);
  Settle();
  QTest::keyClick(window->choiceList, Qt::Key_Down);
  Settle();
  EXPECT_EQ(speech.said, (Said{{"North, 1 of 2", "en"}, {"South, 2 of 2", "en"}}));
  QTest::keyClick(window->choiceList, Qt::Key_R);
  EXPECT_EQ(speech.said.back().text, "South, 2 of 2");
  EXPECT_EQ(speech.said.size(), 3u);

  QTest::keyClick(window->choiceList, Qt::Key_V);
  EXPECT_FALSE(voicing->toggle->isChecked());
  EXPECT_FALSE(PlayerSettingsFile(tg.files, SettingsPath()).Load().selfVoicing);
}

}  // namespace
}  // namespace velmora
