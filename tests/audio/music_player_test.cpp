#include <algorithm>

#include "audio_fixture.h"

namespace velmora::testing {
namespace {


// A (300 ms) -> B (200 ms) -> end, A2 repeats itself, a chain over missing files, and
// entries for each odd Track value.
const char* kTracklist =
    "[WriterList]\nCount=3\nTrack0=A\nTrack1=B\nTrack2=Gone\n"
    "[A]\nTrack=a.wav\nNextTrack=B\n"
    "[B]\nTrack=b.wav\n"
    "[Loop]\nTrack=loop.wav\nNextTrack=Loop\n"
    "[Skip]\nTrack=a.wav\nNextTrack=Missing1\n"
    "[Missing1]\nTrack=none1.wav\nNextTrack=Missing2\n"
    "[Missing2]\nTrack=none2.wav\nNextTrack=B\n"
    "[Gone]\nTrack=gone.wav\n"
    "[Capital]\nTrack=NIL\nNextTrack=B\n"
    "[Empty]\nTrack=\nNextTrack=B\n"
    "[NoFile]\nNextTrack=B\n";

class MusicPlayerTest : public AudioTest {
 protected:
  Game& MakeGame() {
    audio.lengths = {{"a.wav", 300}, {"b.wav", 200}, {"loop.wav", 250}};
    return Make(kTracklist, {"a.wav", "b.wav", "loop.wav"});
  }
  std::vector<std::string> Creates() {
    std::vector<std::string> out;
    for (const auto& c : audio.calls)
      if (c.rfind("create ", 0) == 0) out.push_back(c.substr(7));
    return out;
  }
};

TEST_F(MusicPlayerTest, StartMusicAbsentOrNilPlaysNothing) {
  for (const char* config : {"[Start]\n", "[Start]\nStartMusic=nil\n"}) {
    tg.dir.Write("config.ini", config);
    MakeGame();
    StartMusic(game());
    EXPECT_EQ(audio.calls, Lines{}) << config;
    EXPECT_FALSE(game().musicTimer.Enabled());
    EXPECT_EQ(Boxes(), Lines{});
  }
}

TEST_F(MusicPlayerTest, StartMusicNilInCapitalsIsATrackName) {
  tg.dir.Write("config.ini", "[Start]\nStartMusic=Nil\n");
  MakeGame();
  StartMusic(game());
  EXPECT_EQ(Boxes(), Lines({"message: Sound Nil not found!"}));
  EXPECT_EQ(Log(), Lines({"Warning:Sound Nil not found!"}));
  EXPECT_FALSE(game().musicTimer.Enabled());
}

TEST_F(MusicPlayerTest, ChainFollowsNextTrackWithinATickAndEndsSilently) {
  tg.dir.Write("config.ini", "[Start]\nStartMusic=A\n");
  MakeGame();
  StartMusic(game());
  EXPECT_EQ(Creates(), Lines({"a.wav"}));
  EXPECT_TRUE(game().musicTimer.Enabled());
  EXPECT_EQ(game().music->nextTrackName, "B");
  Run(290);
  EXPECT_EQ(Creates(), Lines({"a.wav"}));
  Run(110);  // A ended at 300; the tick at 400 starts B at the latest
  EXPECT_EQ(Creates(), Lines({"a.wav", "b.wav"}));
  Run(5000);  // B has no NextTrack: the chain ends, nothing more happens
  EXPECT_EQ(Creates(), Lines({"a.wav", "b.wav"}));
  EXPECT_TRUE(game().musicTimer.Enabled());
  EXPECT_EQ(Boxes(), Lines{});
  EXPECT_EQ(Log(), Lines({"Started playing sound: A", "Started playing sound: B"}));

  Command(CmdPlayerPlayTrack, {"$player.playtrack", "A"}, 2);  // a new chain
  Run(500);
  EXPECT_EQ(Creates(), Lines({"a.wav", "b.wav", "a.wav", "b.wav"}));
}

TEST_F(MusicPlayerTest, TrackThatNamesItselfRepeatsAsNewStreams) {
  MakeGame();
  PlayTrack(game(), "Loop");
  Run(2000);
  // 250 ms each, restarted by the next 100 ms tick: every 300 ms.
  EXPECT_EQ(Creates().size(), 7u);
  EXPECT_EQ(audio.streams.size(), 1u);  // each one over is let go when the next replaces it
  EXPECT_EQ(audio.Playing().size(), 1u);
}

TEST_F(MusicPlayerTest, MissingFilesAreSkippedOneTickAtATime) {
  MakeGame();
  PlayTrack(game(), "Skip");
  Run(290);
  EXPECT_EQ(game().music->nextTrackName, "Missing1");
  Run(10);  // a.wav ends at 300, and the tick at 300 finds it over
  EXPECT_EQ(game().music->nextTrackName, "Missing2");
  Run(100);
  EXPECT_EQ(game().music->nextTrackName, "B");
  EXPECT_EQ(Creates(), Lines({"a.wav"}));
  Run(100);
  EXPECT_EQ(Creates(), Lines({"a.wav", "b.wav"}));
  EXPECT_EQ(Boxes(), Lines{});
  EXPECT_EQ(Log(), Lines({"Started playing sound: Skip", "Started playing sound: B"}));
}

// Odd Track values: each plays nothing; only the no-value text "nil" is reported.
TEST_F(MusicPlayerTest, TrackValuesThatPlayNothing) {
  struct Case {
    const char* track;
    bool reported;
  } cases[] = {{"Capital", false}, {"Empty", false}, {"NoFile", true}, {"Unknown", true}};
  for (const auto& c : cases) {
    MakeGame();
    Boxes().clear();
    game().musicTimer.SetEnabled(true);
    PlayTrack(game(), c.track);
    EXPECT_EQ(Creates(), Lines{}) << c.track;
    EXPECT_EQ(game().musicTimer.Enabled(), !c.reported) << c.track;
    EXPECT_EQ(Boxes().size(), c.reported ? 1u : 0u) << c.track;
    EXPECT_EQ(game().music->nextTrackName, std::string(c.track) == "Unknown" ? "nil" : "B") << c.track;
  }
}

TEST_F(MusicPlayerTest, StopPausesOnceAndStaysStopped) {
  MakeGame();
  PlayTrack(game(), "Loop");
  Command(CmdPlayerStop, {"$player.stop"}, 1);
  Command(CmdPlayerStop, {"$player.stop"}, 1);
  EXPECT_EQ(Log(), Lines({"Started playing sound: Loop", "Player stopped"}));
  EXPECT_EQ(std::count(audio.calls.begin(), audio.calls.end(), "pause 1"), 1);
  Run(2000);  // a paused stream is active: the loop does not go on
  EXPECT_EQ(Creates(), Lines({"loop.wav"}));
  EXPECT_TRUE(game().musicTimer.Enabled());

  Command(CmdPlayerPlayTrack, {"$player.playtrack", "B"}, 2);
  EXPECT_EQ(audio.Playing(), Lines({"b.wav"}));
  // The paused stream can never be resumed now: it is released, not kept.
  EXPECT_EQ(audio.calls.back(), "play 2");
  EXPECT_EQ(audio.calls[audio.calls.size() - 2], "free 1");
}

TEST_F(MusicPlayerTest, PlayOverPlayKeepsBothAndControlsTheNewer) {
  MakeGame();
  PlayTrack(game(), "Loop");
  Command(CmdPlayerPlayTrack, {"$player.playtrack", "A"}, 2);
  EXPECT_EQ(audio.Playing(), Lines({"loop.wav", "a.wav"}));
  Command(CmdPlayerSetVolume, {"$player.SetVolume", "20"}, 2);
  Command(CmdPlayerSetBalance, {"$player.SetBalance", "1"}, 2);
  Command(CmdPlayerStop, {"$player.stop"}, 1);
  EXPECT_EQ(audio.streams[1].state, 1u);
  EXPECT_EQ(audio.streams[1].volume, 1.0f);
  EXPECT_EQ(audio.streams[2].state, 3u);
  EXPECT_FLOAT_EQ(audio.streams[2].volume, 0.2f);
  EXPECT_FLOAT_EQ(audio.streams[2].pan, 0.2f);
}

TEST_F(MusicPlayerTest, PlayTrackTakesTheNameFromAStringVariable) {
  MakeGame();
  game().vars->NewStrVar("next", "A");
  if (game().vars->FindVar("next", true) < 0) GTEST_SKIP() << "the variable store keeps no variables yet";
  Command(CmdPlayerPlayTrack, {"$player.playtrack", "next"}, 2);
  EXPECT_EQ(Creates(), Lines({"a.wav"}));
}

TEST_F(MusicPlayerTest, VolumeAboveTheBarsRange) {
  MakeGame();
  PlayTrack(game(), "A");
  game().audioWindow->SetVolume(game(), 40);
  audio.calls.clear();
  Command(CmdPlayerSetVolume, {"$player.SetVolume", "150"}, 2);
  EXPECT_EQ(audio.calls, Lines({"volume 1 1.5", "volume 1 1"}));
  EXPECT_EQ(game().audioWindow->volume, 100);

  audio.calls.clear();
  Command(CmdPlayerSetVolume, {"$player.SetVolume", "150"}, 2);  // the bar is at 100 already
  EXPECT_EQ(audio.calls, Lines({"volume 1 1.5"}));
  EXPECT_FLOAT_EQ(audio.streams[1].volume, 1.5f);
}

TEST_F(MusicPlayerTest, BalanceFullLeft) {
  MakeGame();
  PlayTrack(game(), "A");
  audio.calls.clear();
  Command(CmdPlayerSetBalance, {"$player.SetBalance", "-5"}, 2);
  EXPECT_EQ(audio.calls, Lines({"pan 1 -1", "pan 1 -1"}));
  EXPECT_EQ(game().audioWindow->balance, -5);
}

TEST_F(MusicPlayerTest, VolumeOperandMustBeAnInteger) {
  MakeGame();
  PlayTrack(game(), "A");
  audio.calls.clear();
  game().vars->NewIntVar("loud", 90);  // read as a literal, not as a variable
  const std::pair<CommandAction, const char*> commands[] = {{CmdPlayerSetVolume, "$player.SetVolume"},
                                                            {CmdPlayerSetBalance, "$player.SetBalance"}};
  for (const auto& [handler, word] : commands) {
    EXPECT_EQ(Fault(handler, {word, "loud"}), "'loud' is not a valid integer value");
    EXPECT_EQ(Fault(handler, {word}), "List index out of bounds (1)");
  }
  EXPECT_EQ(audio.calls, Lines{});
  EXPECT_EQ(game().audioWindow->volume, 0);
}

TEST_F(MusicPlayerTest, LoadFailureIsShownAndTheChainGoesOn) {
  MakeGame();
  PlayTrack(game(), "Loop");
  audio.failCreate = true;
  PlayTrack(game(), "A");
  EXPECT_EQ(Boxes(), Lines({"message: Error while loading audio!"}));
  EXPECT_EQ(game().music->musicStream, 0u);
  EXPECT_EQ(game().music->nextTrackName, "B");
  EXPECT_EQ(Log(), Lines({"Started playing sound: Loop", "Started playing sound: A"}));
  audio.failCreate = false;
  Run(100);  // stream 0 is inactive: the next tick starts B
  EXPECT_EQ(Creates().back(), "b.wav");
}

TEST_F(MusicPlayerTest, PlayFailureIsShownAndTheUnplayedStreamIsCurrent) {
  MakeGame();
  audio.failPlay = true;
  PlayTrack(game(), "A");
  EXPECT_EQ(Boxes(), Lines({"message: Error! Cannot play audiofile"}));
  EXPECT_EQ(game().music->musicStream, 1u);
  EXPECT_FALSE(game().music->musicPlaying);
  EXPECT_FALSE(game().musicTimer.Enabled());  // was off before: nothing continues the chain
  audio.failPlay = false;
  PlayTrack(game(), "B");
  EXPECT_EQ(audio.calls, Lines({"create a.wav", "play 1", "create b.wav", "free 1", "play 2"}));
}

// While one of PlayFile's boxes is open, the event loop keeps firing the music timer; its ticks
// must not open the same box again and again.
class PumpingDialogs : public RecordingDialogs {
 public:
  PumpingDialogs(VirtualClock& clock, TimerHub& hub) : clock_(clock), hub_(hub) {}
  void ShowMessage(const std::string& text) override {
    RecordingDialogs::ShowMessage(text);
    for (int i = 0; i < 100; ++i) {
      clock_.Advance(10);
      hub_.FireDue();
    }
  }

 private:
  VirtualClock& clock_;
  TimerHub& hub_;
};

TEST_F(MusicPlayerTest, TicksWaitWhileAPlayerBoxIsOpen) {
  MakeGame();
  PumpingDialogs dialogs(tg.clock, game().timers);
  game().platform.dialogs = &dialogs;
  PlayTrack(game(), "Loop");
  audio.failCreate = true;
  PlayTrack(game(), "A");  // the box stays open for a second of ticks
  EXPECT_EQ(dialogs.shown, Lines({"message: Error while loading audio!"}));
  EXPECT_EQ(game().music->boxesOpen, 0);

  dialogs.shown.clear();
  game().music->nextTrackName = "NoFile";
  audio.failCreate = false;
  Run(100);  // the tick runs PlayTrack(NoFile): one box, then the music timer is off
  EXPECT_EQ(dialogs.shown, Lines({"message: Sound NoFile not found!"}));
  EXPECT_FALSE(game().musicTimer.Enabled());
}

TEST_F(MusicPlayerTest, CheckTracklistLogsEachEntry) {
  MakeGame();
  CheckTracklist(game());
  EXPECT_EQ(Log(), Lines({"A ---done!", "B ---done!", "Warning:Gone ---not found!"}));
}

TEST_F(MusicPlayerTest, CheckTracklistMissingEntriesReadAsNil) {
  Make("[WriterList]\nCount=2\nTrack0=B\n[B]\nTrack=b.wav\n[nil]\nTrack=b.wav\n", {"b.wav"});
  CheckTracklist(game());
  EXPECT_EQ(Log(), Lines({"B ---done!", "nil ---done!"}));
}

TEST_F(MusicPlayerTest, CheckTracklistBoundsAnAbsurdCount) {
  Make("[WriterList]\nCount=2000000000\nTrack0=B\n[B]\nTrack=b.wav\n", {"b.wav"});
  CheckTracklist(game());
  auto log = Log();
  ASSERT_EQ(log.size(), static_cast<size_t>(kMaxCheckedTracks) + 1);
  EXPECT_EQ(log[0], "B ---done!");
  EXPECT_EQ(log[1], "Warning:nil ---not found!");
  EXPECT_EQ(log.back(),
            "Warning:Tracklist [WriterList] Count 2000000000 is too large; only the first 10000 tracks were checked");
}

}  // namespace
}  // namespace velmora::testing
