#include <algorithm>

#include "audio_fixture.h"

namespace velmora::testing {
namespace {


const char* kTracklist =
    "[Ding]\nTrack=ding.wav\n"
    "[Dong]\nTrack=dong.wav\n"
    "[Broken]\nTrack=broken.wav\n"
    "[NilSound]\nTrack=nil\n"
    "[Gone]\nTrack=gone.wav\n"
    "[Music]\nTrack=music.wav\nNextTrack=Music\n";

class SoundEffectsTest : public AudioTest {
 protected:
  Game& MakeGame() { return Make(kTracklist, {"ding.wav", "dong.wav", "broken.wav", "music.wav"}); }
  void PlaySound(const std::string& token) { Command(CmdPlayerPlaySound, {"$player.playsound", token}, 2); }
  void StopSound() { Command(CmdPlayerStopSound, {"$player.stopsound"}, 1); }
};

TEST_F(SoundEffectsTest, EachSoundClosesTheOneBefore) {
  MakeGame();
  PlaySound("Ding");
  PlaySound("Dong");
  EXPECT_EQ(effects.calls, Lines({"open ding.wav", "play", "close", "open dong.wav", "play"}));
  EXPECT_EQ(Log(), Lines({"Playing sound Ding", "Playing sound Dong"}));
  EXPECT_EQ(audio.calls, Lines{});  // the music library plays no part
}

TEST_F(SoundEffectsTest, StopBeforeAnySoundIsAFault) {
  MakeGame();
  EXPECT_EQ(Fault(CmdPlayerStopSound, {"$player.stopsound"}), "No MCI device open");
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(SoundEffectsTest, StopKeepsTheDeviceOpen) {
  MakeGame();
  PlaySound("Ding");
  StopSound();
  StopSound();  // after the sound has ended too: no fault
  EXPECT_EQ(effects.calls, Lines({"open ding.wav", "play", "stop", "stop"}));
  EXPECT_EQ(Log(), Lines({"Playing sound Ding", "Stopped sound player", "Stopped sound player"}));
  CloseSoundPlayer(game());
  CloseSoundPlayer(game());
  EXPECT_EQ(effects.calls.back(), "close");
  EXPECT_EQ(std::count(effects.calls.begin(), effects.calls.end(), "close"), 1);
}

TEST_F(SoundEffectsTest, AFileTheDeviceRefusesEndsTheChainAndLeavesNoDeviceOpen) {
  MakeGame();
  PlaySound("Ding");
  effects.refuse = "File contains data in an unknown format.";
  EXPECT_EQ(Fault(CmdPlayerPlaySound, {"$player.playsound", "Broken"}), "File contains data in an unknown format.");
  EXPECT_EQ(effects.calls, Lines({"open ding.wav", "play", "close", "open broken.wav"}));
  EXPECT_EQ(Log(), Lines({"Playing sound Ding"}));  // no line for the refused sound
  EXPECT_EQ(Fault(CmdPlayerStopSound, {"$player.stopsound"}), "No MCI device open");
}

TEST_F(SoundEffectsTest, UnknownOrMissingSoundsPlayNothingButAreLogged) {
  MakeGame();
  game().vars->NewStrVar("which", "Gone");
  PlaySound("Nowhere");
  PlaySound("which");
  EXPECT_EQ(effects.calls, Lines{});
  EXPECT_EQ(Boxes(), Lines{});
  EXPECT_EQ(Log(), Lines({"Created new variable: which", "Playing sound Nowhere", "Playing sound which"}));
}

TEST_F(SoundEffectsTest, NilSoundStopsTheMusicChain) {
  MakeGame();
  PlayTrack(game(), "Music");
  PlaySound("NilSound");
  EXPECT_EQ(Boxes(), Lines({"message: Sound NilSound not found!"}));
  EXPECT_FALSE(game().musicTimer.Enabled());
  Run(3000);  // the music plays to its end and the chain does not continue
  EXPECT_EQ(audio.calls, Lines({"create music.wav", "play 1"}));
  EXPECT_EQ(Log(), Lines({"Started playing sound: Music", "Warning:Sound NilSound not found!",
                                 "Playing sound NilSound"}));
}

TEST_F(SoundEffectsTest, MusicControlsLeaveEffectsAlone) {
  MakeGame();
  PlayTrack(game(), "Music");
  PlaySound("Ding");
  effects.calls.clear();
  Command(CmdPlayerSetVolume, {"$player.SetVolume", "0"}, 2);
  Command(CmdPlayerSetBalance, {"$player.SetBalance", "5"}, 2);
  Command(CmdPlayerStop, {"$player.stop"}, 1);
  EXPECT_EQ(effects.calls, Lines{});
}

TEST_F(SoundEffectsTest, PageActionPlaysWithoutTheLogLine) {
  MakeGame();
  PlaySoundAction(game(), "Ding");
  EXPECT_EQ(effects.calls, Lines({"open ding.wav", "play"}));
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(SoundEffectsTest, WithoutAnEffectDeviceSoundsOpenSilently) {
  tg.platform.effects = nullptr;
  MakeGame();
  PlaySound("Ding");
  StopSound();
  EXPECT_EQ(Log(), Lines({"Playing sound Ding", "Stopped sound player"}));
}

}  // namespace
}  // namespace velmora::testing
