#pragma once
// Mixes any number of streams into one stereo float output. The audio thread calls Mix;
// the player's thread creates and controls streams. One mutex serialises both: control
// calls are short, and opening a file (the slow part) happens before a stream is added.
//
// Finished streams are released by the controlling thread (ReleaseEnded), never on the
// audio thread, and their handles then read as inactive, exactly like a finished stream.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/stream_source.h"

namespace velmora::audio {

// Channel states as the player reads them.
enum : uint32_t { kInactive = 0, kPlaying = 1, kPaused = 3 };

// Left and right gains for a volume (1 = as decoded, above 1 amplifies) and a balance
// (-1 left only, 0 both at full, 1 right only).
inline void StereoGains(float volume, float pan, float& left, float& right) {
  left = volume * (pan > 0 ? 1.0f - pan : 1.0f);
  right = volume * (pan < 0 ? 1.0f + pan : 1.0f);
}

class Mixer {
 public:
  explicit Mixer(int rate);
  ~Mixer();
  int Rate() const { return rate_; }

  // A new stream, not playing yet, at volume 1 and balance 0.
  uint32_t Add(std::unique_ptr<StreamSource> source);
  bool Play(uint32_t handle);
  bool Pause(uint32_t handle);
  uint32_t IsActive(uint32_t handle);
  bool SetVolume(uint32_t handle, float volume);
  bool SetPan(uint32_t handle, float pan);
  bool Free(uint32_t handle);
  // Milliseconds rendered (-1: no such stream); moving a stream that has not started
  // forward to a place (false for one that plays, has ended, or is past it).
  int64_t PositionMs(uint32_t handle);
  bool SetPositionMs(uint32_t handle, int64_t ms);
  void FreeAll();
  void ReleaseEnded();
  size_t Count();

  // Replaces out (interleaved stereo) with the mix of every playing stream, clipped to [-1, 1].
  void Mix(float* out, size_t frames);

 private:
  enum class State { kStopped, kPlaying, kPaused, kEnded };
  struct Stream {
    uint32_t handle;
    std::unique_ptr<StreamSource> source;
    State state = State::kStopped;
    float volume = 1.0f;
    float pan = 0.0f;
  };
  Stream* Find(uint32_t handle);
  template <typename F>
  bool With(uint32_t handle, F&& f);

  int rate_;
  std::mutex mutex_;
  std::vector<Stream> streams_;
  std::vector<float> scratch_;
  uint32_t lastHandle_ = 0;
};

}  // namespace velmora::audio
