#pragma once
// The music library layer: the ten operations the player calls, with the results it relies
// on (version high word 0x0204; zero/non-zero as stated; a paused stream still active).
#include <cstdint>
#include <string>

namespace velmora {

class AudioLibrary {
 public:
  static constexpr uint32_t kVersion = 0x02040000;
  static constexpr uint32_t kAttribVolume = 2;
  static constexpr uint32_t kAttribPan = 3;
  // ChannelIsActive results.
  static constexpr uint32_t kStopped = 0, kPlaying = 1, kPaused = 3;

  virtual ~AudioLibrary() = default;
  virtual uint32_t GetVersion() = 0;
  virtual bool Init(int32_t device, uint32_t freq, uint32_t flags) = 0;
  // A new stream for the whole file, 0 when it cannot be loaded.
  virtual uint32_t StreamCreateFile(const std::string& path) = 0;
  virtual bool ChannelPlay(uint32_t handle, bool restart) = 0;
  // 0 once the stream has played to its end (or for handle 0); non-zero while playing or paused.
  virtual uint32_t ChannelIsActive(uint32_t handle) = 0;
  virtual bool ChannelPause(uint32_t handle) = 0;
  virtual bool ChannelSetAttribute(uint32_t handle, uint32_t attrib, float value) = 0;
  virtual bool Stop() = 0;
  virtual bool StreamFree(uint32_t handle) = 0;
  virtual bool Free() = 0;
  // Why the last call that failed did, in words for the player; empty when unknown.
  virtual std::string ErrorText() { return {}; }
};

// Plays nothing and succeeds at everything; streams never end.
class SilentAudioLibrary : public AudioLibrary {
 public:
  uint32_t GetVersion() override { return kVersion; }
  bool Init(int32_t, uint32_t, uint32_t) override { return true; }
  uint32_t StreamCreateFile(const std::string&) override { return ++last_; }
  bool ChannelPlay(uint32_t h, bool) override { return h != 0; }
  uint32_t ChannelIsActive(uint32_t h) override { return h != 0 ? 1 : 0; }
  bool ChannelPause(uint32_t) override { return true; }
  bool ChannelSetAttribute(uint32_t, uint32_t, float) override { return true; }
  bool Stop() override { return true; }
  bool StreamFree(uint32_t) override { return true; }
  bool Free() override { return true; }

 private:
  uint32_t last_ = 0;
};

}  // namespace velmora
