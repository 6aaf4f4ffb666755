// The audio engines as the program sees them: each call goes to the audio module, which
// is loaded on first use.
#include "platform/audio/audio_devices.h"

#include <future>
#include <string>
#include <utility>
#include <thread>

#include "base/fault.h"
#include "platform/audio/audio_module.h"
#include "platform/dl/module_loader.h"

namespace velmora {

namespace {

// The module; a missing one ends the program with the reason, as a missing library would.
const audio::AudioModule& Module() {
  return RequiredModule<audio::AudioModule>(audio::kAudioModuleFile, audio::kAudioModuleEntry);
}

// A device library that loads the module and opens the output on a worker thread from
// the moment it is made, so that both happen while the window is being built. Init with
// the arguments that were guessed then (-1, 44100, 0: what start-up passes) only takes
// the result, the same as it would have been: a device that does not open fails Init
// with the same reason. Other arguments open the output again with them.
class EarlyDeviceLibrary : public AudioLibrary {
 public:
  explicit EarlyDeviceLibrary(const AudioDeviceOptions& options) {
    std::packaged_task<Opened()> task([options] {
      Opened out;
      try {
        Module().holdBackgroundWork();
        out.library = Module().makeDevice(options);
        out.ok = out.library->Init(kGuessDevice, kGuessFreq, kGuessFlags);
      } catch (const RuntimeFault& fault) {
        out.error = fault.what();
      }
      try {
        Module().endThread();  // not a thread the sound library made
      } catch (const RuntimeFault&) {
        // no module, so nothing of it on this thread
      }
      return out;
    });
    opening_ = task.get_future();
    worker_ = std::thread(std::move(task));
  }
  ~EarlyDeviceLibrary() override {
    if (worker_.joinable()) worker_.join();
  }

  uint32_t GetVersion() override { return kVersion; }
  bool Init(int32_t device, uint32_t freq, uint32_t flags) override {
    if (!Inner()) return false;
    if (std::exchange(firstInit_, false)) {
      if (device == kGuessDevice && freq == kGuessFreq && flags == kGuessFlags) return openedEarly_;
      if (openedEarly_) inner_->Free();  // opened with other arguments: again with these
    }
    return inner_->Init(device, freq, flags);
  }
  uint32_t StreamCreateFile(const std::string& path) override { return Inner() ? inner_->StreamCreateFile(path) : 0; }
  bool ChannelPlay(uint32_t handle, bool restart) override { return Inner() && inner_->ChannelPlay(handle, restart); }
  uint32_t ChannelIsActive(uint32_t handle) override {
    return Inner() ? inner_->ChannelIsActive(handle) : 0;  // inactive
  }
  bool ChannelPause(uint32_t handle) override { return Inner() && inner_->ChannelPause(handle); }
  bool ChannelSetAttribute(uint32_t handle, uint32_t attrib, float value) override {
    return Inner() && inner_->ChannelSetAttribute(handle, attrib, value);
  }
  bool Stop() override { return Inner() && inner_->Stop(); }
  bool StreamFree(uint32_t handle) override { return Inner() && inner_->StreamFree(handle); }
  bool Free() override { return Inner() && inner_->Free(); }
  int64_t ChannelGetPosition(uint32_t handle) override { return Inner() ? inner_->ChannelGetPosition(handle) : -1; }
  bool ChannelSetPosition(uint32_t handle, int64_t ms) override {
    return Inner() && inner_->ChannelSetPosition(handle, ms);
  }
  std::string ErrorText() override { return Inner() ? inner_->ErrorText() : error_; }

  size_t HeldStreams() { return Inner() ? Module().heldStreams(*inner_) : 0; }

 private:
  static constexpr int32_t kGuessDevice = -1;
  static constexpr uint32_t kGuessFreq = 44100;
  static constexpr uint32_t kGuessFlags = 0;

  struct Opened {
    std::unique_ptr<AudioLibrary> library;
    bool ok = false;
    std::string error;  // why the module did not load
  };

  bool Inner() {
    if (opening_.valid()) {
      Opened opened = opening_.get();
      worker_.join();
      owned_ = std::move(opened.library);
      inner_ = owned_.get();
      openedEarly_ = opened.ok;
      error_ = opened.error;
    }
    return inner_ != nullptr;
  }

  std::future<Opened> opening_;
  std::thread worker_;
  std::unique_ptr<AudioLibrary> owned_;
  AudioLibrary* inner_ = nullptr;
  bool openedEarly_ = false;
  std::string error_;
  bool firstInit_ = true;
};

}  // namespace

std::unique_ptr<AudioLibrary> CreateDeviceAudioLibrary(const AudioDeviceOptions& options) {
  if (options.openEarly) return std::make_unique<EarlyDeviceLibrary>(options);
  return Module().makeDevice(options);
}

bool ProbeAudioOutput(const AudioDeviceOptions& options, std::string* reason) {
  return Module().probeOutput(options, reason);
}

std::unique_ptr<AudioLibrary> CreateVirtualAudioLibrary(Clock& clock) { return Module().makeVirtual(clock); }

void ReleaseBackgroundAudioWork() {
  try {
    Module().releaseBackgroundWork();
  } catch (const RuntimeFault&) {
    // no module: nothing was held
  }
}

size_t HeldStreamCount(AudioLibrary& library) {
  if (auto* early = dynamic_cast<EarlyDeviceLibrary*>(&library)) return early->HeldStreams();
  return Module().heldStreams(library);
}

}  // namespace velmora
