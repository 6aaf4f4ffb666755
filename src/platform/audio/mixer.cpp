#include "platform/audio/mixer.h"

#include <algorithm>

namespace velmora::audio {
namespace {
constexpr size_t kScratchFrames = 1024;
}

Mixer::Mixer(int rate) : rate_(rate), scratch_(kScratchFrames * 2) {}
Mixer::~Mixer() { FreeAll(); }

Mixer::Stream* Mixer::Find(uint32_t handle) {
  for (Stream& s : streams_)
    if (s.handle == handle) return &s;
  return nullptr;
}

template <typename F>
bool Mixer::With(uint32_t handle, F&& f) {
  std::lock_guard lock(mutex_);
  Stream* s = Find(handle);
  if (!s || s->state == State::kEnded) return false;
  f(*s);
  return true;
}

uint32_t Mixer::Add(std::unique_ptr<StreamSource> source) {
  ReleaseEnded();
  std::lock_guard lock(mutex_);
  do {
    ++lastHandle_;
  } while (lastHandle_ == 0 || Find(lastHandle_));
  streams_.push_back(Stream{lastHandle_, std::move(source)});
  return lastHandle_;
}

bool Mixer::Play(uint32_t handle) {
  return With(handle, [](Stream& s) { s.state = State::kPlaying; });
}

bool Mixer::Pause(uint32_t handle) {
  return With(handle, [](Stream& s) {
    if (s.state == State::kPlaying) s.state = State::kPaused;
  });
}

uint32_t Mixer::IsActive(uint32_t handle) {
  ReleaseEnded();
  std::lock_guard lock(mutex_);
  Stream* s = Find(handle);
  if (!s) return kInactive;
  switch (s->state) {
    case State::kPlaying: return kPlaying;
    case State::kPaused: return kPaused;
    default: return kInactive;
  }
}

bool Mixer::SetVolume(uint32_t handle, float volume) {
  return With(handle, [volume](Stream& s) { s.volume = std::max(0.0f, volume); });
}

bool Mixer::SetPan(uint32_t handle, float pan) {
  return With(handle, [pan](Stream& s) { s.pan = std::clamp(pan, -1.0f, 1.0f); });
}

int64_t Mixer::PositionMs(uint32_t handle) {
  std::lock_guard lock(mutex_);
  Stream* s = Find(handle);
  return s ? static_cast<int64_t>(s->source->Rendered() * 1000 / static_cast<uint64_t>(rate_)) : -1;
}

bool Mixer::SetPositionMs(uint32_t handle, int64_t ms) {
  const auto frame = static_cast<uint64_t>(ms < 0 ? 0 : ms) * static_cast<uint64_t>(rate_) / 1000;
  StreamSource* source = nullptr;
  {
    std::lock_guard lock(mutex_);
    Stream* s = Find(handle);
    if (!s || s->state != State::kStopped || frame < s->source->Rendered()) return false;
    source = s->source.get();
  }
  // Outside the lock: decoding up to the place may wait for the decoder to be ready. The
  // audio thread never touches a stream that has not started, and only this thread
  // starts or frees one.
  source->SkipTo(frame);
  return true;
}

bool Mixer::Free(uint32_t handle) {
  std::unique_ptr<StreamSource> dying;  // closed after the lock is given back
  {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(streams_.begin(), streams_.end(), [&](const Stream& s) { return s.handle == handle; });
    if (it == streams_.end()) return false;
    dying = std::move(it->source);
    streams_.erase(it);
  }
  return true;
}

void Mixer::FreeAll() {
  std::vector<Stream> dying;
  {
    std::lock_guard lock(mutex_);
    dying.swap(streams_);
  }
}

void Mixer::ReleaseEnded() {
  std::vector<Stream> dying;
  {
    std::lock_guard lock(mutex_);
    auto ended = std::stable_partition(streams_.begin(), streams_.end(),
                                       [](const Stream& s) { return s.state != State::kEnded; });
    std::move(ended, streams_.end(), std::back_inserter(dying));
    streams_.erase(ended, streams_.end());
  }
}

size_t Mixer::Count() {
  std::lock_guard lock(mutex_);
  return streams_.size();
}

void Mixer::Mix(float* out, size_t frames) {
  std::fill(out, out + frames * 2, 0.0f);
  std::lock_guard lock(mutex_);
  for (Stream& s : streams_) {
    if (s.state != State::kPlaying || !s.source->Ready()) continue;
    float gl, gr;
    StereoGains(s.volume, s.pan, gl, gr);
    for (size_t at = 0; at < frames;) {
      const size_t want = std::min(kScratchFrames, frames - at);
      const size_t got = s.source->Render(scratch_.data(), want);
      float* o = out + at * 2;
      for (size_t i = 0; i < got; ++i) {
        o[2 * i] += gl * scratch_[2 * i];
        o[2 * i + 1] += gr * scratch_[2 * i + 1];
      }
      at += got;
      if (got < want) {
        s.state = State::kEnded;
        break;
      }
    }
  }
  for (size_t i = 0; i < frames * 2; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

}  // namespace velmora::audio
