#include "audio_fixture.h"

namespace velmora::testing {
namespace {


class AudioFormTest : public AudioTest {
 protected:
  // Start-up order: the start music plays, then the options window is created.
  Game& Start(const std::string& sound) {
    tg.dir.Write("config.ini", "[Start]\nStartMusic=Song\n" + sound);
    Make("[Song]\nTrack=song.wav\nNextTrack=Song\n", {"song.wav"});
    StartMusic(game());
    LoadAudioOptions(game());
    return game();
  }
  const ScriptedAudioLibrary::Stream& Song() { return audio.streams.at(game().music->musicStream); }
};

TEST_F(AudioFormTest, SavedSettingsAreKeptInRangeAndApplied) {
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
    EXPECT_EQ(game().audioWindow->volume, c.volume) << c.sound;
    EXPECT_EQ(game().audioWindow->balance, c.balance) << c.sound;
    EXPECT_FLOAT_EQ(Song().volume, c.volume / 100.0f) << c.sound;
    EXPECT_FLOAT_EQ(Song().pan, c.balance / 5.0f) << c.sound;
    EXPECT_FALSE(game().audioWindow->visible);
  }
}

TEST_F(AudioFormTest, BarsReportOnlyRealChanges) {
  Start("[Sound]\nVolume=40\n");
  audio.calls.clear();
  EXPECT_FALSE(SetVolumePosition(game(), 40));
  EXPECT_FALSE(SetBalancePosition(game(), -99 + 99));
  EXPECT_TRUE(SetBalancePosition(game(), 1));
  EXPECT_FALSE(SetBalancePosition(game(), 1));
  EXPECT_TRUE(SetBalancePosition(game(), 10));
  EXPECT_FALSE(SetBalancePosition(game(), 5));
  EXPECT_EQ(audio.calls, Lines({"pan 1 0.2", "pan 1 1"}));
}

TEST_F(AudioFormTest, OkSavesAndHides) {
  Start("");
  ShowAudioOptions(game());
  SetVolumePosition(game(), 70);
  SetBalancePosition(game(), -2);
  SaveAudioOptions(game());
  EXPECT_FALSE(game().audioWindow->visible);
  EXPECT_EQ(game().config->ReadInteger("Sound", "Volume", 0), 70);
  EXPECT_EQ(game().config->ReadInteger("Sound", "Balance", 0), -2);
}

TEST_F(AudioFormTest, CloseBoxHidesWithoutSaving) {
  Start("[Sound]\nVolume=80\n");
  ShowAudioOptions(game());
  SetVolumePosition(game(), 30);
  CloseAudioOptions(game());
  EXPECT_FALSE(game().audioWindow->visible);
  EXPECT_FLOAT_EQ(Song().volume, 0.3f);  // heard at once
  EXPECT_EQ(game().config->ReadInteger("Sound", "Volume", 0), 80);
}

TEST_F(AudioFormTest, WithoutMusicSettingsChangeNothing) {
  tg.dir.Write("config.ini", "[Sound]\nVolume=20\n");
  Make("");
  LoadAudioOptions(game());
  SetVolumePosition(game(), 60);
  EXPECT_EQ(game().audioWindow->volume, 60);
  EXPECT_TRUE(audio.streams.empty());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AudioFormTest, ReplaySteps) {
  Start("");
  int changes = 0;
  game().audioWindow->onChanged = [&] { ++changes; };
  EXPECT_EQ(RunAudioStep(game(), "volume 10"), AudioStep::kNotShown);
  EXPECT_EQ(RunAudioStep(game(), ""), AudioStep::kDone);
  EXPECT_EQ(DescribeAudioWindow(game()), Lines({"Audio options", "Volume: 50 (0..100)", "Balance: 0 (-5..5)", "[OK]"}));
  for (const char* bad : {"volume", "volume x", "ok 1", "loud 3", "balance 1 2"})
    EXPECT_EQ(RunAudioStep(game(), bad), AudioStep::kUnknown) << bad;
  EXPECT_EQ(RunAudioStep(game(), "volume 101"), AudioStep::kDone);
  EXPECT_EQ(RunAudioStep(game(), "Balance -1"), AudioStep::kDone);
  EXPECT_EQ(RunAudioStep(game(), "ok"), AudioStep::kDone);
  EXPECT_EQ(DescribeAudioWindow(game()), Lines({"Audio options (hidden)", "Volume: 100 (0..100)", "Balance: -1 (-5..5)", "[OK]"}));
  EXPECT_EQ(game().config->ReadInteger("Sound", "Volume", 0), 100);
  EXPECT_EQ(changes, 4);  // shown, volume, balance, hidden
}

TEST_F(AudioFormTest, FailedSaveIsShownAndTheWindowStays) {
  Start("");
  RunAudioStep(game(), "");
  // A folder that is not there cannot be written, whoever runs the test.
  game().config = std::make_unique<IniDocument>((tg.dir.path() / "gone" / "config.ini").string());
  RunAudioStep(game(), "ok");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].rfind("error: Unable to write to ", 0), 0u) << Boxes()[0];
  EXPECT_TRUE(game().audioWindow->visible);
}

}  // namespace
}  // namespace velmora::testing
