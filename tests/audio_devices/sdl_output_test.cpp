// Real output: files decoded, mixed and written by SDL's disk driver (32-bit float
// stereo at the device rate), then measured.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "platform/audio/audio_devices.h"
#include "platform/audio/decoder.h"
#include "sound_files.h"
#include "support/test_game.h"

namespace velmora::testing {
namespace {

struct Played {
  int rate = 0;
  std::vector<float> samples;  // interleaved stereo
  size_t Frames() const { return samples.size() / 2; }
  // Frames from the first to the last sample that is not silence, on one side or both.
  size_t SoundingFrames(int channel = -1) const {
    size_t first = Frames(), last = 0;
    for (size_t i = 0; i < Frames(); ++i) {
      bool on = false;
      for (int c = 0; c < 2; ++c)
        if ((channel < 0 || channel == c) && std::fabs(samples[2 * i + c]) > 1e-4f) on = true;
      if (!on) continue;
      first = std::min(first, i);
      last = i;
    }
    return first > last ? 0 : last - first + 1;
  }
  float Peak(int channel) const {
    float peak = 0;
    for (size_t i = channel; i < samples.size(); i += 2) peak = std::max(peak, std::fabs(samples[i]));
    return peak;
  }
};

struct Stream {
  std::string path;
  float volume = 1, pan = 0;
};

// Starts the streams together and waits until all have played to their end.
Played PlayToDisk(const TempDir& dir, const std::vector<Stream>& streams) {
  const std::string raw = (dir.path() / "output.raw").string();
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "4", 1);  // about five times faster than real time
  AudioDeviceOptions options;
  options.driver = "disk";
  auto library = CreateDeviceAudioLibrary(options);
  Played out;
  if (!library->Init(-1, 44100, 0)) {
    ADD_FAILURE() << library->ErrorText();
    return out;
  }
  std::vector<uint32_t> handles;
  for (const auto& s : streams) {
    uint32_t h = library->StreamCreateFile(s.path);
    EXPECT_NE(h, 0u) << s.path << ": " << library->ErrorText();
    library->ChannelSetAttribute(h, AudioLibrary::kAttribVolume, s.volume);
    library->ChannelSetAttribute(h, AudioLibrary::kAttribPan, s.pan);
    handles.push_back(h);
  }
  for (uint32_t h : handles) library->ChannelPlay(h, false);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (uint32_t h : handles)
    while (library->ChannelIsActive(h) != 0 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
  for (uint32_t h : handles) EXPECT_EQ(library->ChannelIsActive(h), 0u) << "still playing after 30 s";
  library->Stop();
  library->Free();
  std::ifstream in(raw, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  out.samples.resize(bytes.size() / sizeof(float));
  std::memcpy(out.samples.data(), bytes.data(), out.samples.size() * sizeof(float));
  out.rate = 44100;
  return out;
}

TEST(SdlOutput, RealFilesAreHeardForTheirLength) {
  TempDir dir;
  struct Case {
    const char* name;
    int format;
    double toleranceMs;
  } cases[] = {
      {"tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1},
      {"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 5},
      {"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 60},
  };
  for (const auto& c : cases) {
    const std::string path = (dir.path() / c.name).string();
    ASSERT_TRUE(WriteTone(path, c.format, 22050, 1, 0.5, 0.5));
    Played played = PlayToDisk(dir, {{path}});
    EXPECT_NEAR(played.SoundingFrames() * 1000.0 / played.rate, 500.0, c.toleranceMs) << c.name;
    EXPECT_NEAR(played.Peak(0), 0.5, 0.05) << c.name;
    EXPECT_NEAR(played.Peak(1), 0.5, 0.05) << c.name;
  }
}

TEST(SdlOutput, MidiIsRenderedWithTheSoundfont) {
  TempDir dir;
  const std::string path = (dir.path() / "song.mid").string();
  WriteBytes(path, MidiFile(480, {Note(0, 480, 69) + EndOfTrack(0)}));
  Played played = PlayToDisk(dir, {{path}});
  const double ms = played.SoundingFrames() * 1000.0 / played.rate;
  EXPECT_GT(ms, 500.0);
  EXPECT_LE(ms, 500.0 + audio::kMidiTailMs + 1);
  EXPECT_GT(played.Peak(0), 0.02);
}

TEST(SdlOutput, StreamsMixWithTheirOwnVolumeAndBalance) {
  TempDir dir;
  const std::string left = (dir.path() / "left.wav").string(), right = (dir.path() / "right.flac").string();
  WriteTone(left, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1, 0.3, 0.4);
  WriteTone(right, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 2, 0.6, 0.4, 330);
  Played played = PlayToDisk(dir, {{left, 1.0f, -1.0f}, {right, 2.0f, 1.0f}});
  EXPECT_NEAR(played.SoundingFrames(0) * 1000.0 / played.rate, 300.0, 1.0);
  EXPECT_NEAR(played.SoundingFrames(1) * 1000.0 / played.rate, 600.0, 1.0);
  EXPECT_NEAR(played.Peak(0), 0.4, 0.01);
  EXPECT_NEAR(played.Peak(1), 0.8, 0.02);  // amplified
}

TEST(SdlOutput, NoDeviceMeansInitFails) {
  AudioDeviceOptions options;
  options.driver = "no-such-driver";
  auto library = CreateDeviceAudioLibrary(options);
  EXPECT_FALSE(library->Init(-1, 44100, 0));
  const std::string why = library->ErrorText();
  EXPECT_EQ(why.rfind("Audio driver no-such-driver: ", 0), 0u) << why;
  EXPECT_EQ(library->StreamCreateFile("/dev/null"), 0u);
  EXPECT_EQ(library->GetVersion() >> 16, 0x0204u);
  std::string reason;
  EXPECT_FALSE(ProbeAudioOutput(options, &reason));
  EXPECT_EQ(reason, why);
  options.driver = "dummy";
  EXPECT_TRUE(ProbeAudioOutput(options));
}

// Opened early on a worker thread, the output reports at Init what it would have reported
// there; Init with other arguments opens it again with them.
TEST(SdlOutput, EarlyOpeningReportsAtInit) {
  struct Case {
    const char* driver;
    uint32_t freq;
    bool opens;
  } cases[] = {{"no-such-driver", 44100, false}, {"dummy", 44100, true}, {"dummy", 22050, true},
               {"no-such-driver", 22050, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.driver) + " at " + std::to_string(c.freq));
    AudioDeviceOptions options;
    options.driver = c.driver;
    options.openEarly = true;
    auto library = CreateDeviceAudioLibrary(options);
    EXPECT_EQ(library->Init(-1, c.freq, 0), c.opens);
    if (!c.opens) {
      EXPECT_EQ(library->ErrorText().rfind("Audio driver no-such-driver: ", 0), 0u) << library->ErrorText();
    }
    EXPECT_FALSE(library->Init(-1, c.freq, 0)) << "a second Init is refused, as without opening early";
    ReleaseBackgroundAudioWork();
  }
}

// The early library passes every call through, saved games' stream positions included.
TEST(SdlOutput, EarlyOpenedLibraryMovesStreams) {
  TempDir dir;
  const std::string tone = (dir.path() / "tone.wav").string();
  ASSERT_TRUE(WriteTone(tone, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, 1.0));
  AudioDeviceOptions options;
  options.driver = "dummy";
  options.openEarly = true;
  auto library = CreateDeviceAudioLibrary(options);
  ASSERT_TRUE(library->Init(-1, 44100, 0)) << library->ErrorText();
  const uint32_t h = library->StreamCreateFile(tone);
  ASSERT_NE(h, 0u) << library->ErrorText();
  EXPECT_TRUE(library->ChannelSetPosition(h, 600));
  EXPECT_EQ(library->ChannelGetPosition(h), 600);
  EXPECT_EQ(HeldStreamCount(*library), 1u);
  ReleaseBackgroundAudioWork();
}

}  // namespace
}  // namespace velmora::testing
