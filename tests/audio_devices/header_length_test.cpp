// Lengths from the headers alone (the virtual engine of builds without libsndfile) must be
// the decoder's to the frame, or a chain moves on at another moment there.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/audio/decoder.h"
#include "sound_files.h"
#include "support/test_game.h"

namespace velmora::testing {
namespace {

using audio::HeaderLength;
using audio::ProbeLength;

std::string Le(uint32_t v, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
  return out;
}

std::string Chunk(const std::string& id, const std::string& body) {
  return id + Le(static_cast<uint32_t>(body.size()), 4) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}

// 16-bit PCM with `channels` channels, `frames` frames of silence, and the chunks `before`
// ahead of the format.
std::string Wav(uint16_t channels, uint32_t rate, uint32_t frames, const std::string& before = "") {
  const std::string fmt = Le(1, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * channels * 2, 4) + Le(channels * 2, 2) + Le(16, 2);
  const std::string body = "WAVE" + before + Chunk("fmt ", fmt) + Chunk("data", std::string(frames * channels * 2u, '\0'));
  return "RIFF" + Le(static_cast<uint32_t>(body.size()), 4) + body;
}

TEST(HeaderLength, AgreesWithTheDecoder) {
  TempDir dir;
  struct Tone {
    const char* name;
    int format, rate, channels;
    double seconds;
  } tones[] = {
      {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 0.5},
      {"pcm24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 22050, 1, 1.3},
      {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 0.25},
      {"extensible.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 11025, 1, 0.7},
      {"stereo.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 0.5},
      {"long.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 22050, 1, 3.1},
  };
  std::vector<std::string> paths;
  for (const Tone& t : tones) {
    paths.push_back((dir.path() / t.name).string());
    ASSERT_TRUE(WriteTone(paths.back(), t.format, t.rate, t.channels, t.seconds)) << t.name;
  }
  // Cut short inside its sound: what the file holds plays.
  paths.push_back((dir.path() / "cut.wav").string());
  std::filesystem::copy_file(paths[0], paths.back());
  std::filesystem::resize_file(paths.back(), std::filesystem::file_size(paths[0]) - 1001);
  // Tags of odd length before the format, stepped over with their pad byte.
  paths.push_back(dir.Write("tagged.wav", Wav(1, 8000, 1234, Chunk("LIST", "INFOabc"))));
  paths.push_back(dir.Write("song.mid", MidiFile(480, {Note(0, 960) + EndOfTrack(0)})));
  // The sounds the example games play in their replays.
  for (const char* folder : {"demo/music", "utf8-mini/Music"})
    for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(VELMORA_EXAMPLES_DIR) + folder))
      if (entry.is_regular_file()) paths.push_back(entry.path().string());
  ASSERT_GE(paths.size(), 20u);
  for (const std::string& path : paths) {
    const audio::Length decoded = ProbeLength(path);
    const audio::Length read = HeaderLength(path);
    ASSERT_TRUE(decoded.ok) << path << ": " << decoded.error;
    ASSERT_TRUE(read.ok) << path << ": " << read.error;
    EXPECT_EQ(read.frames, decoded.frames) << path;
    EXPECT_EQ(read.rate, decoded.rate) << path;
  }
}

TEST(HeaderLength, RefusesWhatItCannotTime) {
  TempDir dir;
  const std::string cutOgg = (dir.path() / "cut.ogg").string();
  ASSERT_TRUE(WriteTone(cutOgg, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 48000, 1, 20));
  std::filesystem::resize_file(cutOgg, 8000);
  const std::string mp3 = (dir.path() / "tone.mp3").string();
  ASSERT_TRUE(WriteTone(mp3, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 1, 0.2));
  std::string adpcm = Wav(1, 8000, 10);
  adpcm[20] = 2;  // the format's code: Microsoft ADPCM
  const struct {
    std::string path;
    const char* says;
  } cases[] = {
      {(dir.path() / "missing.wav").string(), "No such file or directory"},
      {dir.Write("empty.wav", ""), "This sound format is not read here"},
      {dir.Write("text.wav", "these are not sounds"), "This sound format is not read here"},
      {mp3, "This sound format is not read here"},
      {cutOgg, "The file is damaged: its length is unknown"},
      {dir.Write("adpcm.wav", adpcm), "This WAV encoding is not read here"},
      {dir.Write("no-format.wav", "RIFF" + Le(12, 4) + "WAVE" + Chunk("data", "abcd")), "File has no audio channels"},
      // A chunk that claims 4 GiB before any sound: stepped over, not read or looped on.
      {dir.Write("huge-chunk.wav", "RIFF" + Le(100, 4) + "WAVE" + "junk" + Le(0xFFFFFFF8u, 4) + "xx"),
       "The file is damaged: its length is unknown"},
      {dir.Write("bad.mid", std::string("MThd\0\0\0\6", 8)), ""},
  };
  for (const auto& c : cases) {
    const audio::Length read = HeaderLength(c.path);
    EXPECT_FALSE(read.ok) << c.path;
    EXPECT_FALSE(read.error.empty()) << c.path;
    if (*c.says) {
      EXPECT_EQ(read.error, c.says) << c.path;
    }
  }
}

}  // namespace
}  // namespace velmora::testing
