#include "platform/audio/decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "platform/audio/stream_source.h"
#include "sound_files.h"
#include "support/test_game.h"

namespace velmora::testing {
namespace {

using audio::OpenDecoder;
using audio::ProbeLength;

int64_t DecodeAll(audio::Decoder& d) {
  std::vector<float> block(4096 * static_cast<size_t>(d.Channels()));
  int64_t frames = 0;
  for (size_t n; (n = d.Read(block.data(), 4096)) > 0;) frames += static_cast<int64_t>(n);
  return frames;
}

// The virtual engine times a stream by ProbeLength, the device engine plays what the
// decoder gives: both must agree to the frame.
TEST(Decoder, EveryFormatDecodesAsLongAsProbed) {
  TempDir dir;
  struct Case {
    const char* name;
    int format, rate, channels;
    int64_t toleranceMs;  // lossy codecs pad the start and the end
  } cases[] = {
      {"tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 0},
      {"tone.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 22050, 1, 0},
      {"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 1, 0},
      {"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 0},
      {"tone.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000, 2, 30},
      {"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 60},
  };
  for (const auto& c : cases) {
    const std::string path = (dir.path() / c.name).string();
    ASSERT_TRUE(WriteTone(path, c.format, c.rate, c.channels, 0.5)) << c.name;
    auto length = ProbeLength(path);
    ASSERT_TRUE(length.ok) << c.name << ": " << length.error;
    EXPECT_NEAR(static_cast<double>(length.Milliseconds()), 500.0, static_cast<double>(c.toleranceMs + 1)) << c.name;
    auto opened = OpenDecoder(path, {});
    ASSERT_TRUE(opened.decoder) << c.name << ": " << opened.error;
    EXPECT_EQ(opened.decoder->Channels(), c.channels) << c.name;
    EXPECT_EQ(DecodeAll(*opened.decoder) * length.rate, length.frames * opened.decoder->Rate()) << c.name;
  }
}

TEST(Decoder, MidiRendersItsSongAndTailAtTheOutputRate) {
  TempDir dir;
  const std::string path = (dir.path() / "song.MID").string();
  WriteBytes(path, MidiFile(480, {Note(0, 480) + EndOfTrack(0)}));
  auto length = ProbeLength(path);
  ASSERT_TRUE(length.ok) << length.error;
  EXPECT_EQ(length.Milliseconds(), 500 + audio::kMidiTailMs);
  auto opened = OpenDecoder(path, {48000, ""});
  ASSERT_TRUE(opened.decoder) << opened.error;
  EXPECT_EQ(opened.decoder->Rate(), 48000);
  EXPECT_EQ(DecodeAll(*opened.decoder), (500 + audio::kMidiTailMs) * 48);
}

TEST(Decoder, FilesThatCannotBePlayedSayWhy) {
  TempDir dir;
  const std::string text = dir.Write("notes.wav", "these are not sounds");
  const std::string badMidi = dir.Write("bad.mid", "MThd\0\0\0\6");
  const std::string missing = (dir.path() / "missing.ogg").string();
  // Cut off after its first pages: the header then gives no length at all.
  const std::string cut = (dir.path() / "cut.ogg").string();
  ASSERT_TRUE(WriteTone(cut, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 48000, 1, 20));
  std::filesystem::resize_file(cut, 8000);
  for (const auto& path : {text, badMidi, missing, cut, dir.path().string()}) {
    auto opened = OpenDecoder(path, {});
    EXPECT_FALSE(opened.decoder) << path;
    EXPECT_FALSE(opened.error.empty()) << path;
    auto length = ProbeLength(path);
    EXPECT_FALSE(length.ok) << path;
    EXPECT_FALSE(length.error.empty()) << path;
  }
  WriteBytes(dir.Write("song.mid", ""), MidiFile(480, {EndOfTrack(0)}));
  auto opened = OpenDecoder((dir.path() / "song.mid").string(), {44100, "/nowhere/font.sf2"});
  EXPECT_FALSE(opened.decoder);
  EXPECT_EQ(opened.error, "Cannot load the MIDI soundfont /nowhere/font.sf2");
  const std::string notFont = dir.Write("notes.sf2", "these are no instruments");
  opened = OpenDecoder((dir.path() / "song.mid").string(), {44100, notFont});
  EXPECT_FALSE(opened.decoder);
  EXPECT_EQ(opened.error, "Cannot load the MIDI soundfont " + notFont);
}

// The soundfont loads on a worker thread, so a soundfont damaged inside its header shows
// only then: the stream opens, and ends at once without a sound.
TEST(Decoder, MidiWithASoundfontDamagedInsideEndsSilently) {
  TempDir dir;
  const std::string font = dir.Write("damaged.sf2", std::string("RIFF\x40\0\0\0sfbkLIST", 16) + std::string(48, 'x'));
  const std::string song = (dir.path() / "song.mid").string();
  WriteBytes(song, MidiFile(480, {Note(0, 480) + EndOfTrack(0)}));
  auto opened = OpenDecoder(song, {44100, font});
  ASSERT_TRUE(opened.decoder) << opened.error;
  EXPECT_EQ(DecodeAll(*opened.decoder), 0);
  EXPECT_TRUE(opened.decoder->Ready());
}

}  // namespace
}  // namespace velmora::testing
