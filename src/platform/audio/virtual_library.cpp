// The virtual engine: streams without sound that last exactly as long as their files.
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <vector>

#include "platform/audio/audio_module.h"
#include "platform/audio/engine_library.h"
#include "platform/audio/mixer.h"

namespace velmora {
namespace audio {
namespace {

class VirtualAudioLibrary : public EngineLibrary {
 public:
  explicit VirtualAudioLibrary(Clock& clock) : clock_(clock) {}

  bool Init(int32_t, uint32_t, uint32_t) override {
    if (initialised_) return Fail("The audio output is already initialized");
    initialised_ = true;
    running_ = true;
    outputAt_ = clock_.NowMs();
    return true;
  }

  uint32_t StreamCreateFile(const std::string& path) override {
    if (!initialised_) {
      Fail(kNotInitialised);
      return 0;
    }
    Release();
    Length length = CachedLength(path);
    if (!length.ok) {
      Fail(length.error);
      return 0;
    }
    do {
      ++lastHandle_;
    } while (lastHandle_ == 0 || Find(lastHandle_));
    streams_.push_back(Stream{lastHandle_, length.Milliseconds()});
    return lastHandle_;
  }

  bool ChannelPlay(uint32_t handle, bool) override {
    Stream* s = Live(handle);
    if (!s) return Fail("No such stream");
    if (!running_) {  // output stopped by Stop starts again
      running_ = true;
      outputAt_ = clock_.NowMs();
    }
    if (s->state != kPlaying) {
      s->state = kPlaying;
      s->startedAt = OutputMs();
    }
    return true;
  }

  uint32_t ChannelIsActive(uint32_t handle) override {
    Stream* s = Live(handle);
    return s ? s->state : kInactive;
  }

  bool ChannelPause(uint32_t handle) override {
    Stream* s = Live(handle);
    if (!s) return false;
    if (s->state == kPlaying) {
      s->playedMs = Position(*s);
      s->state = kPaused;
    }
    return true;
  }

  bool ChannelSetAttribute(uint32_t handle, uint32_t attrib, float) override {
    return Live(handle) != nullptr && (attrib == kAttribVolume || attrib == kAttribPan);
  }

  int64_t ChannelGetPosition(uint32_t handle) override {
    Stream* s = Live(handle);
    return s ? std::min(Position(*s), s->lengthMs) : -1;
  }

  bool ChannelSetPosition(uint32_t handle, int64_t ms) override {
    Stream* s = Live(handle);
    if (!s || s->state == kPlaying || ms < 0) return false;
    s->playedMs = std::min(ms, s->lengthMs);
    return true;
  }

  bool Stop() override {
    if (!initialised_) return false;
    if (running_) {
      outputBefore_ = OutputMs();
      running_ = false;
    }
    return true;
  }

  bool StreamFree(uint32_t handle) override {
    auto it = std::find_if(streams_.begin(), streams_.end(), [&](const Stream& s) { return s.handle == handle; });
    if (it == streams_.end()) return false;
    streams_.erase(it);
    return true;
  }

  bool Free() override {
    if (!initialised_) return false;
    streams_.clear();
    initialised_ = false;
    return true;
  }

  size_t HeldStreams() override {
    Release();
    return streams_.size();
  }

 private:
  struct Stream {
    uint32_t handle;
    int64_t lengthMs;
    uint32_t state = kInactive;  // not started yet
    int64_t playedMs = 0;        // before the current run
    int64_t startedAt = 0;       // output time when the current run began
  };
  struct CacheEntry {
    int64_t size, mtime;
    Length length;
  };

  // Time the output has been running, which is what a playing stream's position follows.
  int64_t OutputMs() const { return outputBefore_ + (running_ ? clock_.NowMs() - outputAt_ : 0); }
  int64_t Position(const Stream& s) const {
    return s.playedMs + (s.state == kPlaying ? OutputMs() - s.startedAt : 0);
  }
  bool Ended(const Stream& s) const { return s.state == kPlaying && Position(s) >= s.lengthMs; }

  Stream* Find(uint32_t handle) {
    for (Stream& s : streams_)
      if (s.handle == handle) return &s;
    return nullptr;
  }
  Stream* Live(uint32_t handle) {
    Release();
    return Find(handle);
  }
  void Release() {
    std::erase_if(streams_, [this](const Stream& s) { return Ended(s); });
  }

  // A chain that repeats an MP3 would otherwise decode it whole at every start.
  Length CachedLength(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return ProbeLength(path);
    const int64_t mtime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    auto it = cache_.find(path);
    if (it != cache_.end() && it->second.size == st.st_size && it->second.mtime == mtime) return it->second.length;
    if (cache_.size() >= 512) cache_.clear();
    Length length = ProbeLength(path);
    cache_[path] = CacheEntry{st.st_size, mtime, length};
    return length;
  }

  Clock& clock_;
  bool initialised_ = false;
  bool running_ = false;
  int64_t outputAt_ = 0;      // clock time when the output last started
  int64_t outputBefore_ = 0;  // output time gathered before that
  std::vector<Stream> streams_;
  std::map<std::string, CacheEntry> cache_;
  uint32_t lastHandle_ = 0;
};

}  // namespace

std::unique_ptr<AudioLibrary> MakeVirtualLibrary(Clock& clock) { return std::make_unique<VirtualAudioLibrary>(clock); }

size_t HeldStreams(AudioLibrary& library) {
  auto* engine = dynamic_cast<EngineLibrary*>(&library);
  return engine ? engine->HeldStreams() : 0;
}

}  // namespace audio
}  // namespace velmora
