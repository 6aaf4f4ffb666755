// The audio options window on Qt's offscreen platform: its layout, and that it only
// draws the core's state and forwards the player's moves and clicks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "audio/audio_window_state.h"
#include "audio/music_player.h"
#include "audio/scripted_audio.h"
#include "support/test_game.h"
#include "ui/audio_window.h"
#include "ui_fixture.h"

namespace velmora::testing {
namespace {

class AudioWindowTest : public ::testing::Test {
 protected:
  AudioWindowTest() : audio(tg.clock) {
    TestApplication();
    tg.platform.audio = &audio;
    tg.dir.Write("config.ini", "[Start]\nStartMusic=Song\n[Sound]\nVolume=40\nBalance=-1\n");
    tg.dir.Write("story.qst", "[gamestart]\nTextSize=0\n");
    tg.dir.Write("music.lst", "[Song]\nTrack=song.wav\n");
    tg.dir.Write("Music/song.wav", "");
    Game& game = tg.Make();
    StartMusic(game);
    game.audioWindow->LoadSettings(game);
    window = std::make_unique<AudioWindow>(game);
    audio.calls.clear();
  }
  Game& game() { return tg.game(); }

  TestGame tg;
  ScriptedAudioLibrary audio;
  std::unique_ptr<AudioWindow> window;
};

TEST_F(AudioWindowTest, Layout) {
  EXPECT_EQ(window->windowTitle(), "Audio options");
  EXPECT_EQ(window->size(), QSize(261, 162));
  EXPECT_EQ(window->pos(), QPoint(574, 280));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_FALSE(window->isVisible());
  struct Control {
    QWidget* widget;
    QRect geometry;
  } controls[] = {
      {window->volumeBar, {0, 32, 257, 25}},
      {window->balanceBar, {0, 96, 257, 25}},
      {window->okButton, {88, 136, 75, 25}},
  };
  for (const auto& c : controls) EXPECT_EQ(c.widget->geometry(), c.geometry) << c.widget->objectName().toStdString();
  EXPECT_EQ(window->volumeLabel->text(), "Volume");
  EXPECT_EQ(window->volumeLabel->pos(), QPoint(8, 8));
  EXPECT_EQ(window->balanceLabel->text(), "Balance");
  EXPECT_EQ(window->balanceLabel->pos(), QPoint(8, 72));
  EXPECT_EQ(window->okButton->text(), "OK");
  EXPECT_EQ(window->volumeBar->minimum(), 0);
  EXPECT_EQ(window->volumeBar->maximum(), 100);
  EXPECT_EQ(window->balanceBar->minimum(), -5);
  EXPECT_EQ(window->balanceBar->maximum(), 5);
  EXPECT_EQ(window->volumeBar->value(), 40);
  EXPECT_EQ(window->balanceBar->value(), -1);
}

TEST_F(AudioWindowTest, MovingABarIsHeardAtOnce) {
  game().audioWindow->Open(game());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  window->volumeBar->setFocus();
  QTest::keyClick(window->volumeBar, Qt::Key_Right);
  QTest::keyClick(window->balanceBar, Qt::Key_End);
  QTest::keyClick(window->balanceBar, Qt::Key_End);  // already at the end: no change reported
  EXPECT_EQ(game().audioWindow->volume, 41);
  EXPECT_EQ(game().audioWindow->balance, 5);
  EXPECT_EQ(audio.calls, (std::vector<std::string>{"volume 1 0.41", "pan 1 1"}));
}

TEST_F(AudioWindowTest, ScriptMovesAreDrawnWithoutBeingSentBack) {
  game().audioWindow->SetVolume(game(), 150);
  EXPECT_EQ(window->volumeBar->value(), 100);
  EXPECT_EQ(audio.calls, (std::vector<std::string>{"volume 1 1"}));
}

TEST_F(AudioWindowTest, OkSavesAndHidesTheCloseBoxOnlyHides) {
  game().audioWindow->Open(game());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  window->volumeBar->setValue(70);
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(game().audioWindow->visible);
  EXPECT_EQ(game().config->ReadInteger("Sound", "Volume", 0), 40);

  game().audioWindow->Open(game());
  EXPECT_TRUE(window->isVisible());
  QTest::mouseClick(window->okButton, Qt::LeftButton);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(game().config->ReadInteger("Sound", "Volume", 0), 70);
  EXPECT_EQ(game().config->ReadInteger("Sound", "Balance", 0), -1);
}

}  // namespace
}  // namespace velmora::testing
