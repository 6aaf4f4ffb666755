#include "platform/audio/stream_source.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velmora::audio {
namespace {

constexpr size_t kBlockFrames = 2048;
constexpr float kMinus3dB = 0.70710678f;

}  // namespace

void FoldToStereo(const float* in, size_t frames, int channels, float* out) {
  const size_t c = static_cast<size_t>(channels);
  for (size_t i = 0; i < frames; ++i) {
    const float* f = in + i * c;
    float l = f[0];
    float r = c >= 2 ? f[1] : f[0];
    if (c >= 3) {
      l += kMinus3dB * f[2];
      r += kMinus3dB * f[2];
    }
    if (c >= 5) l += kMinus3dB * f[4];
    if (c >= 6) r += kMinus3dB * f[5];
    out[2 * i] = l;
    out[2 * i + 1] = r;
  }
}

StreamSource::StreamSource(std::unique_ptr<Decoder> decoder, int outRate)
    : decoder_(std::move(decoder)),
      step_(static_cast<double>(decoder_->Rate()) / outRate),
      raw_(kBlockFrames * static_cast<size_t>(decoder_->Channels())) {
  if (decoder_->Rate() != outRate) {
    src_.assign((kBlockFrames + 4) * 2, 0.0f);
    srcFrames_ = 1;  // silence before the first frame, for the interpolator's history
  }
}

size_t StreamSource::ReadFolded(float* out, size_t frames) {
  size_t done = 0;
  while (done < frames) {
    size_t want = std::min(frames - done, kBlockFrames);
    size_t n;
    if (decoder_->Channels() == 2) {
      n = decoder_->Read(out + done * 2, want);
    } else {
      n = decoder_->Read(raw_.data(), want);
      FoldToStereo(raw_.data(), n, decoder_->Channels(), out + done * 2);
    }
    done += n;
    if (n < want) break;
  }
  return done;
}

// Keeps the frames the interpolator still needs and appends a block from the decoder.
bool StreamSource::Refill() {
  if (ended_) return false;
  // Drop everything before x[-1]; when downsampling, the position may lie beyond the
  // frames read so far, and the next refill goes on dropping.
  size_t keep = std::min(static_cast<size_t>(pos_) - 1, srcFrames_);
  std::memmove(src_.data(), src_.data() + keep * 2, (srcFrames_ - keep) * 2 * sizeof(float));
  srcFrames_ -= keep;
  pos_ -= static_cast<double>(keep);
  size_t room = src_.size() / 2 - srcFrames_ - 2;
  size_t n = ReadFolded(src_.data() + srcFrames_ * 2, room);
  srcFrames_ += n;
  if (n < room) {
    // Two frames of silence after the end let the last real frames be interpolated.
    ended_ = true;
    end_ = srcFrames_;
    std::fill(src_.begin() + static_cast<std::ptrdiff_t>(srcFrames_ * 2),
              src_.begin() + static_cast<std::ptrdiff_t>((srcFrames_ + 2) * 2), 0.0f);
    srcFrames_ += 2;
  }
  return true;
}

size_t StreamSource::Render(float* out, size_t frames) {
  if (src_.empty()) {
    const size_t n = ReadFolded(out, frames);
    rendered_ += n;
    return n;
  }
  size_t done = 0;
  while (done < frames) {
    size_t i = static_cast<size_t>(pos_);
    if (ended_ && i >= end_) break;
    if (i + 2 >= srcFrames_) {
      if (!Refill()) break;
      continue;
    }
    const float f = static_cast<float>(pos_ - static_cast<double>(i));
    const float* x = src_.data() + (i - 1) * 2;
    for (int ch = 0; ch < 2; ++ch) {
      const float xm1 = x[ch], x0 = x[2 + ch], x1 = x[4 + ch], x2 = x[6 + ch];
      const float c1 = 0.5f * (x1 - xm1);
      const float c2 = xm1 - 2.5f * x0 + 2.0f * x1 - 0.5f * x2;
      const float c3 = 0.5f * (x2 - xm1) + 1.5f * (x0 - x1);
      out[done * 2 + ch] = ((c3 * f + c2) * f + c1) * f + x0;
    }
    ++done;
    pos_ += step_;
  }
  rendered_ += done;
  return done;
}

void StreamSource::SkipTo(uint64_t frame) {
  std::vector<float> scratch(kBlockFrames * 2);
  while (rendered_ < frame) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(kBlockFrames, frame - rendered_));
    if (Render(scratch.data(), want) < want) break;
  }
}

}  // namespace velmora::audio
