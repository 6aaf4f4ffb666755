#include "platform/audio/mixer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/audio/stream_source.h"

namespace velmora::testing {
namespace {

using audio::Decoder;
using audio::Mixer;
using audio::StreamSource;

// A decoder of a constant level, or of a sine, for a given number of frames.
class ToneDecoder : public Decoder {
 public:
  ToneDecoder(int rate, int channels, int64_t frames, float level, double frequency = 0)
      : frames_(frames), level_(level), frequency_(frequency) {
    rate_ = rate;
    channels_ = channels;
  }
  size_t Read(float* out, size_t frames) override {
    size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(frames), frames_ - at_));
    for (size_t i = 0; i < n; ++i, ++at_) {
      float v = frequency_ > 0 ? level_ * static_cast<float>(std::sin(2 * M_PI * frequency_ * at_ / rate_)) : level_;
      for (int c = 0; c < channels_; ++c) out[i * channels_ + c] = v * static_cast<float>(c + 1);
    }
    return n;
  }

 private:
  int64_t frames_, at_ = 0;
  float level_;
  double frequency_;
};

std::unique_ptr<StreamSource> Tone(int rate, int channels, int64_t frames, float level, double frequency = 0,
                                   int outRate = 44100) {
  return std::make_unique<StreamSource>(std::make_unique<ToneDecoder>(rate, channels, frames, level, frequency), outRate);
}

std::vector<float> Render(StreamSource& s, size_t frames, size_t* got = nullptr) {
  std::vector<float> out(frames * 2, 0.0f);
  size_t n = 0;
  while (n < frames) {
    size_t k = s.Render(out.data() + n * 2, std::min<size_t>(1000, frames - n));
    if (k == 0) break;
    n += k;
  }
  if (got) *got = n;
  out.resize(n * 2);
  return out;
}

double Rms(const std::vector<float>& stereo, int channel) {
  double sum = 0;
  for (size_t i = channel; i < stereo.size(); i += 2) sum += stereo[i] * stereo[i];
  return std::sqrt(sum / (stereo.size() / 2));
}

TEST(StreamSource, ResamplingKeepsLengthAndLevel) {
  struct Case {
    int rate;
    int64_t frames;
  } cases[] = {{44100, 44100}, {22050, 22050}, {48000, 48000}, {8000, 8000}, {96000, 96000}};
  for (const auto& c : cases) {
    auto source = Tone(c.rate, 1, c.frames, 0.5f, 440);
    size_t got;
    auto out = Render(*source, 100000, &got);
    EXPECT_NEAR(static_cast<double>(got), 44100.0, 2.0) << c.rate;
    EXPECT_NEAR(Rms(out, 0), 0.5 / std::sqrt(2.0), 0.01) << c.rate;
    EXPECT_EQ(out[0], out[1]) << "mono goes to both sides";
    EXPECT_EQ(source->Render(out.data(), 10), 0u) << "nothing after the end";
  }
}

TEST(StreamSource, FoldsChannelsToStereo) {
  // Channel k of the tone carries (k + 1) * level.
  const float level = 0.1f, c = 0.70710678f;
  struct Case {
    int channels;
    float left, right;
  } cases[] = {
      {1, 0.1f, 0.1f},
      {2, 0.1f, 0.2f},
      {3, 0.1f + c * 0.3f, 0.2f + c * 0.3f},
      {6, 0.1f + c * 0.3f + c * 0.5f, 0.2f + c * 0.3f + c * 0.6f},
  };
  for (const auto& k : cases) {
    auto out = Render(*Tone(44100, k.channels, 10, level), 10);
    ASSERT_EQ(out.size(), 20u);
    EXPECT_FLOAT_EQ(out[8], k.left) << k.channels;
    EXPECT_FLOAT_EQ(out[9], k.right) << k.channels;
  }
}

TEST(Mixer, VolumeAndBalanceShapeEachStream) {
  struct Case {
    float volume, pan, left, right;
  } cases[] = {
      {1.0f, 0.0f, 0.25f, 0.5f},   {0.5f, 0.0f, 0.125f, 0.25f}, {1.0f, -1.0f, 0.25f, 0.0f},
      {1.0f, 1.0f, 0.0f, 0.5f},    {1.0f, -0.2f, 0.25f, 0.4f},  {1.5f, 0.0f, 0.375f, 0.75f},
      {4.0f, 0.0f, 1.0f, 1.0f},  // amplified beyond full scale: clipped
  };
  for (const auto& c : cases) {
    Mixer mixer(44100);
    uint32_t h = mixer.Add(Tone(44100, 2, 1000, 0.25f));
    mixer.SetVolume(h, c.volume);
    mixer.SetPan(h, c.pan);
    mixer.Play(h);
    std::vector<float> out(200);
    mixer.Mix(out.data(), 100);
    EXPECT_FLOAT_EQ(out[0], c.left) << c.volume << " " << c.pan;
    EXPECT_FLOAT_EQ(out[1], c.right) << c.volume << " " << c.pan;
  }
}

TEST(Mixer, StreamsAddUpAndOnlyPlayingOnesSound) {
  Mixer mixer(44100);
  uint32_t a = mixer.Add(Tone(44100, 1, 1000, 0.25f));
  uint32_t b = mixer.Add(Tone(44100, 1, 1000, 0.125f));
  uint32_t c = mixer.Add(Tone(44100, 1, 1000, 0.5f));
  mixer.Play(a);
  mixer.Play(b);
  std::vector<float> out(200);
  mixer.Mix(out.data(), 100);
  EXPECT_FLOAT_EQ(out[0], 0.375f);
  EXPECT_EQ(mixer.IsActive(a), audio::kPlaying);
  EXPECT_EQ(mixer.IsActive(c), audio::kInactive) << "created, not started";
  mixer.Pause(a);
  EXPECT_EQ(mixer.IsActive(a), audio::kPaused);
  mixer.Mix(out.data(), 100);
  EXPECT_FLOAT_EQ(out[0], 0.125f);
  mixer.Play(a);  // goes on where it was
  mixer.Mix(out.data(), 100);
  EXPECT_FLOAT_EQ(out[0], 0.375f);
}

TEST(Mixer, AStreamThatHasNotStartedMovesForwardToAPlace) {
  Mixer mixer(1000);
  uint32_t h = mixer.Add(Tone(1000, 1, 1000, 0.25f, 0, 1000));  // one second at the output rate
  EXPECT_EQ(mixer.PositionMs(h), 0);
  EXPECT_TRUE(mixer.SetPositionMs(h, 600));
  EXPECT_EQ(mixer.PositionMs(h), 600);
  EXPECT_FALSE(mixer.SetPositionMs(h, 100)) << "never backwards";
  mixer.Play(h);
  EXPECT_FALSE(mixer.SetPositionMs(h, 700)) << "not while it plays";
  std::vector<float> out(2 * 500);
  mixer.Mix(out.data(), 399);
  EXPECT_EQ(mixer.IsActive(h), audio::kPlaying);
  mixer.Mix(out.data(), 2);
  EXPECT_EQ(mixer.IsActive(h), audio::kInactive) << "400 ms were left";
  EXPECT_EQ(mixer.PositionMs(h), -1);
}

TEST(Mixer, FinishedStreamsAreReleasedAndTheirHandlesReadInactive) {
  Mixer mixer(44100);
  uint32_t first = 0;
  for (int i = 0; i < 1000; ++i) {  // a track that follows itself, a thousand times
    uint32_t h = mixer.Add(Tone(44100, 2, 300, 0.1f));
    if (i == 0) first = h;
    mixer.Play(h);
    std::vector<float> out(1024);
    mixer.Mix(out.data(), 512);
    EXPECT_EQ(mixer.IsActive(h), audio::kInactive);
    EXPECT_LE(mixer.Count(), 1u);
  }
  EXPECT_EQ(mixer.Count(), 0u);
  EXPECT_EQ(mixer.IsActive(first), audio::kInactive);
  EXPECT_FALSE(mixer.SetVolume(first, 0.5f));
  uint32_t paused = mixer.Add(Tone(44100, 2, 300, 0.1f));
  mixer.Play(paused);
  mixer.Pause(paused);
  EXPECT_GT(paused, first + 999) << "handles are not reused";
  mixer.ReleaseEnded();
  EXPECT_EQ(mixer.IsActive(paused), audio::kPaused) << "paused streams stay";
}

}  // namespace
}  // namespace velmora::testing
