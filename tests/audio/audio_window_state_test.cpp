#include "audio_fixture.h"

namespace velmora::testing {
namespace {


class AudioWindowTest : public AudioTest {
 protected:
  // Start-up order: the start music plays, then the options window is created.
  Game& Start(const std::string& sound) {
    tg.dir.Write("config.ini", "[Start]\nStartMusic=Song\n" + sound);
    Make("[Song]\nTrack=song.wav\nNextTrack=Song\n", {"song.wav"});
    StartMusic(game());
    window().LoadSettings(game());
    return game();
  }
  AudioWindowState& window() { return *game().audioWindow; }
  const ScriptedAudioLibrary::Stream& Song() { return audio.streams.at(game().music->musicStream); }
};

TEST_F(AudioWindowTest, SavedSettingsAreKeptInRangeAndApplied) {
  struct Case {
    const char* sound;
    int volume, balance;
  } cases[] = {
      {"", 50, 0},
      {"[Sound]\nVolume=150\nBalance=-7\n", 100, -5},
      {"[Sound]\nVolume=-3\nBalance=9\n", 0, 5},
      {"[Sound]\nVolume=30\nBalance=2\n", 30, 2},
  };
  for (const auto& c : cases) {
    Start(c.sound);
    EXPECT_EQ(window().volume, c.volume) << c.sound;
    EXPECT_EQ(window().balance, c.balance) << c.sound;
    EXPECT_FLOAT_EQ(Song().volume, c.volume / 100.0f) << c.sound;
    EXPECT_FLOAT_EQ(Song().pan, c.balance / 5.0f) << c.sound;
    EXPECT_FALSE(window().visible);
  }
}

TEST_F(AudioWindowTest, BarsReportOnlyRealChanges) {
  Start("[Sound]\nVolume=40\n");
  audio.calls.clear();
  EXPECT_FALSE(window().SetVolume(game(), 40));
  EXPECT_FALSE(window().SetBalance(game(), -99 + 99));
  EXPECT_TRUE(window().SetBalance(game(), 1));
  EXPECT_FALSE(window().SetBalance(game(), 1));
  EXPECT_TRUE(window().SetBalance(game(), 10));
  EXPECT_FALSE(window().SetBalance(game(), 5));
  EXPECT_EQ(audio.calls, Lines({"pan 1 0.2", "pan 1 1"}));
}

TEST_F(AudioWindowTest, OkSavesAndHides) {
  Start("");
  window().Open(game());
  window().SetVolume(game(), 70);
  window().SetBalance(game(), -2);
  window().PressOk(game());
  EXPECT_FALSE(window().visible);
  EXPECT_EQ(game().config->ReadInteger("Sound", "Volume", 0), 70);
  EXPECT_EQ(game().config->ReadInteger("Sound", "Balance", 0), -2);
}

TEST_F(AudioWindowTest, CloseBoxHidesWithoutSaving) {
  Start("[Sound]\nVolume=80\n");
  window().Open(game());
  window().SetVolume(game(), 30);
  window().Close();
  EXPECT_FALSE(window().visible);
  EXPECT_FLOAT_EQ(Song().volume, 0.3f);  // heard at once
  EXPECT_EQ(game().config->ReadInteger("Sound", "Volume", 0), 80);
}

TEST_F(AudioWindowTest, WithoutMusicSettingsChangeNothing) {
  tg.dir.Write("config.ini", "[Sound]\nVolume=20\n");
  Make("");
  window().LoadSettings(game());
  window().SetVolume(game(), 60);
  EXPECT_EQ(window().volume, 60);
  EXPECT_TRUE(audio.streams.empty());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AudioWindowTest, PlayersInputAsWindowEvents) {
  Start("");
  int changes = 0;
  window().onChanged = [&] { ++changes; };
  window().MoveVolume(game(), 10);  // hidden: takes no input
  window().PressOk(game());
  EXPECT_EQ(window().volume, 50);
  window().Open(game());
  EXPECT_EQ(DescribeAudioWindow(game()), Lines({"Audio options", "Volume: 50 (0..100)", "Balance: 0 (-5..5)", "[OK]"}));
  window().MoveVolume(game(), 101);
  window().MoveBalance(game(), -1);
  window().PressOk(game());
  EXPECT_EQ(DescribeAudioWindow(game()), Lines({"Audio options (hidden)", "Volume: 100 (0..100)", "Balance: -1 (-5..5)", "[OK]"}));
  EXPECT_EQ(game().config->ReadInteger("Sound", "Volume", 0), 100);
  EXPECT_EQ(changes, 4);  // shown, volume, balance, hidden
}

TEST_F(AudioWindowTest, FailedSaveIsShownAndTheWindowStays) {
  Start("");
  window().Open(game());
  // A folder that is not there cannot be written, whoever runs the test.
  game().config = std::make_unique<IniDocument>(tg.files, (tg.dir.path() / "gone" / "config.ini").string());
  window().PressOk(game());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].rfind("error: Unable to write to ", 0), 0u) << Boxes()[0];
  EXPECT_TRUE(window().visible);
}

}  // namespace
}  // namespace velmora::testing
