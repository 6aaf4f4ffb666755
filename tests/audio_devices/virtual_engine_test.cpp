#include <gtest/gtest.h>

#include <filesystem>

#include "platform/audio/audio_devices.h"
#include "audio/audio_commands.h"
#include "audio/music_player.h"
#include "base/fault.h"
#include "base/game.h"
#include "sound_files.h"
#include "support/test_game.h"

namespace velmora::testing {
namespace {

class VirtualEngineTest : public ::testing::Test {
 protected:
  VirtualEngineTest() : library(CreateVirtualAudioLibrary(clock)) {
    library->Init(-1, 44100, 0);
    half = Tone("half.wav", 0.5);
  }
  std::string Tone(const std::string& name, double seconds) {
    std::string path = (dir.path() / name).string();
    WriteTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1, seconds);
    return path;
  }

  TempDir dir;
  VirtualClock clock;
  std::unique_ptr<AudioLibrary> library;
  std::string half;
};

TEST_F(VirtualEngineTest, StreamsLastExactlyTheirDecodedLength) {
  uint32_t h = library->StreamCreateFile(half);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(library->ChannelIsActive(h), 0u) << "not started yet";
  clock.Advance(1000);  // time before the start does not count
  library->ChannelPlay(h, false);
  clock.Advance(499);
  EXPECT_EQ(library->ChannelIsActive(h), 1u);
  clock.Advance(1);
  EXPECT_EQ(library->ChannelIsActive(h), 0u);
  EXPECT_EQ(HeldStreamCount(*library), 0u) << "released once over";
  EXPECT_EQ(library->ChannelIsActive(0), 0u);
}

TEST_F(VirtualEngineTest, PausedStreamsStayActiveAndResumeWhereTheyWere) {
  uint32_t h = library->StreamCreateFile(half);
  library->ChannelPlay(h, false);
  clock.Advance(200);
  library->ChannelPause(h);
  clock.Advance(60000);
  EXPECT_EQ(library->ChannelIsActive(h), 3u);
  library->ChannelPlay(h, false);
  clock.Advance(299);
  EXPECT_EQ(library->ChannelIsActive(h), 1u);
  clock.Advance(1);
  EXPECT_EQ(library->ChannelIsActive(h), 0u);
}

TEST_F(VirtualEngineTest, AStreamStartsAtAPlaceAndTellsWhereItIs) {
  uint32_t h = library->StreamCreateFile(half);
  EXPECT_EQ(library->ChannelGetPosition(h), 0);
  EXPECT_TRUE(library->ChannelSetPosition(h, 300));
  library->ChannelPlay(h, false);
  EXPECT_FALSE(library->ChannelSetPosition(h, 100)) << "only before it plays";
  clock.Advance(150);
  EXPECT_EQ(library->ChannelGetPosition(h), 450);
  clock.Advance(49);
  EXPECT_EQ(library->ChannelIsActive(h), 1u);
  clock.Advance(1);
  EXPECT_EQ(library->ChannelIsActive(h), 0u);
  EXPECT_EQ(library->ChannelGetPosition(h), -1);
}

TEST_F(VirtualEngineTest, StopHaltsTheOutput) {
  uint32_t h = library->StreamCreateFile(half);
  library->ChannelPlay(h, false);
  clock.Advance(100);
  library->Stop();
  clock.Advance(10000);
  EXPECT_EQ(library->ChannelIsActive(h), 1u);
  EXPECT_TRUE(library->StreamFree(h));
  EXPECT_FALSE(library->StreamFree(h));
  EXPECT_TRUE(library->Free());
  EXPECT_EQ(library->StreamCreateFile(half), 0u) << "released library";
}

TEST_F(VirtualEngineTest, FilesThatCannotBeLoadedGiveNoHandleAndAReason) {
  EXPECT_EQ(library->StreamCreateFile(dir.Write("text.ogg", "no sound here")), 0u);
  EXPECT_FALSE(library->ErrorText().empty());
  auto fresh = CreateVirtualAudioLibrary(clock);
  EXPECT_EQ(fresh->StreamCreateFile(half), 0u) << "not initialised";
  EXPECT_EQ(fresh->GetVersion() >> 16, 0x0204u);
}

std::string OpenFault(EffectDevice& effects, const std::string& path) {
  try {
    effects.Open(path);
  } catch (const RuntimeFault& fault) {
    return fault.what();
  }
  return {};
}

TEST_F(VirtualEngineTest, EffectPlayerFaults) {
  auto effects = CreateVirtualEffectPlayer(clock);
  EXPECT_EQ(OpenFault(*effects, half), "");
  effects->Play();
  EXPECT_EQ(OpenFault(*effects, dir.Write("text.wav", "no sound here")), "Format not recognised.");
  // A library that gives no reason.
  class Mute : public SilentAudioLibrary {
    uint32_t StreamCreateFile(const std::string&) override { return 0; }
  } mute;
  EXPECT_EQ(OpenFault(*CreateDeviceEffectPlayer(mute), half), "Unknown error code");
}

TEST_F(VirtualEngineTest, EffectPlayerHoldsOneStream) {
  auto effects = CreateDeviceEffectPlayer(*library);
  effects->Open(half);
  effects->Play();
  effects->Open(Tone("other.wav", 2));
  effects->Play();
  EXPECT_EQ(HeldStreamCount(*library), 1u) << "opening closed the sound before";
  effects->Stop();
  clock.Advance(5000);
  EXPECT_EQ(HeldStreamCount(*library), 1u) << "stopped, still open";
  effects->Close();
  EXPECT_EQ(HeldStreamCount(*library), 0u);
}

// The whole chain on the virtual engine: a track that follows itself, for an hour.
TEST(VirtualEngineChain, ARepeatingTrackKeepsItsTimingAndItsMemory) {
  TestGame tg;
  auto library = CreateVirtualAudioLibrary(tg.clock);
  tg.platform.audio = library.get();
  tg.dir.Write("config.ini", "[Start]\nStartMusic=Loop\n");
  tg.dir.Write("story.qst", "[gamestart]\nTextSize=0\n");
  tg.dir.Write("music.lst", "[Loop]\nTrack=LOOP.WAV\nNextTrack=Loop\n");
  std::filesystem::create_directories(tg.dir.path() / "Music");
  WriteTone((tg.dir.path() / "Music" / "loop.wav").string(), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1, 0.25);
  Game& game = tg.Make();
  library->Init(-1, 44100, 0);
  StartMusic(game);
  int64_t ms = 0;
  for (; ms < 3600 * 1000; ms += 10) {
    tg.clock.Advance(10);
    game.timers.FireDue();
    ASSERT_LE(HeldStreamCount(*library), 1u);
  }
  // 250 ms of sound, then the next 100 ms tick: a new stream every 300 ms.
  EXPECT_EQ(game.log.Lines().size(), 3600u * 1000 / 300 + 1);
  EXPECT_TRUE(tg.dialogs.shown.empty());
}

}  // namespace
}  // namespace velmora::testing
