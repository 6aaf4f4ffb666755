#pragma once
// One decoded file as the mixer wants it: stereo frames at the output rate. Channels
// other than two are folded to stereo; other rates are resampled with a cubic (4-point
// Hermite) interpolator, which is cheap and clean enough for music at the usual rates.
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/audio/decoder.h"

namespace velmora::audio {

// Folds interleaved frames of any channel count to stereo: mono goes to both sides;
// a centre channel (third) and rear pair (fifth, sixth) are mixed in at -3 dB.
void FoldToStereo(const float* in, size_t frames, int channels, float* out);

class StreamSource {
 public:
  StreamSource(std::unique_ptr<Decoder> decoder, int outRate);
  // Renders up to `frames` stereo frames; fewer only at the end, 0 after it.
  size_t Render(float* out, size_t frames);
  bool Ready() { return decoder_->Ready(); }
  // Output frames rendered so far, and rendering (unheard) up to a later frame: the way
  // to a place in a stream, since not every decoder can seek.
  uint64_t Rendered() const { return rendered_; }
  void SkipTo(uint64_t frame);

 private:
  size_t ReadFolded(float* out, size_t frames);
  bool Refill();

  std::unique_ptr<Decoder> decoder_;
  double step_;                // input frames per output frame
  std::vector<float> raw_;     // one block as decoded
  std::vector<float> src_;     // folded input frames kept for interpolation
  size_t srcFrames_ = 0;
  size_t end_ = 0;             // one past the last real input frame, once the decoder has ended
  bool ended_ = false;
  uint64_t rendered_ = 0;
  double pos_ = 1.0;           // position of the next output frame in src_ (frame 0 is history)
};

}  // namespace velmora::audio
