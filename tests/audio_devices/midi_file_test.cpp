#include "platform/audio/midi_file.h"

#include <gtest/gtest.h>

#include "sound_files.h"

namespace velmora::testing {
namespace {

using audio::ParseMidiLength;

TEST(MidiLength, TempoMapAndTracks) {
  struct Case {
    const char* what;
    std::string file;
    int64_t microseconds;
  } cases[] = {
      {"one beat at the default 120 bpm", MidiFile(480, {Note(0, 480) + EndOfTrack(0)}), 500000},
      {"the end event's delta counts", MidiFile(480, {Note(0, 480) + EndOfTrack(480)}), 1000000},
      {"tempo halves after one beat", MidiFile(96, {Tempo(96, 1000000) + Note(0, 96) + EndOfTrack(0)}), 1500000},
      {"tempo from another track applies", MidiFile(96, {Tempo(0, 250000) + EndOfTrack(0), Note(0, 192) + EndOfTrack(0)}),
       500000},
      {"the longest track decides", MidiFile(480, {EndOfTrack(480), Note(0, 960) + EndOfTrack(0)}), 1000000},
      {"running status", MidiFile(480, {Vlq(0) + "\x90\x3c\x64" + Vlq(240) + "\x3c" + std::string(1, '\0') +
                                        EndOfTrack(0)}),
       250000},
      {"SMPTE 25 fps, 40 ticks a frame", MidiFile(static_cast<uint16_t>(0xe728), {Note(0, 1000) + EndOfTrack(0)}),
       1000000},
      {"a track without its end event", MidiFile(480, {Note(0, 960)}), 1000000},
  };
  for (const auto& c : cases) {
    auto length = ParseMidiLength(c.file);
    EXPECT_TRUE(length.ok) << c.what << ": " << length.error;
    EXPECT_EQ(length.microseconds, c.microseconds) << c.what;
  }
}

TEST(MidiLength, FilesThatAreNotMidi) {
  const std::string cut = MidiFile(480, {Note(0, 480) + EndOfTrack(0)});
  for (const std::string& bytes : {std::string("RIFF1234WAVE"), cut.substr(0, 10), MidiFile(0, {EndOfTrack(0)}),
                                   MidiFile(480, {}), MidiFile(480, {Vlq(0) + "\x3c\x64" + EndOfTrack(0)})}) {
    auto length = ParseMidiLength(bytes);
    EXPECT_FALSE(length.ok);
    EXPECT_FALSE(length.error.empty());
  }
}

}  // namespace
}  // namespace velmora::testing
