// Sound effects as one stream of an engine: opening replaces the stream (cutting the
// sound before), stopping pauses it and keeps it, closing frees it.
#include "platform/audio/audio_devices.h"
#include "base/fault.h"

namespace velmora {
namespace {

class StreamEffectPlayer : public EffectDevice {
 public:
  explicit StreamEffectPlayer(AudioLibrary& library) : library_(library) {}
  explicit StreamEffectPlayer(std::unique_ptr<AudioLibrary> owned) : library_(*owned), owned_(std::move(owned)) {}
  ~StreamEffectPlayer() override { Close(); }

  void Open(const std::string& path) override {
    Close();
    handle_ = library_.StreamCreateFile(path);
    if (handle_ == 0) {
      std::string why = library_.ErrorText();
      throw RuntimeFault(why.empty() ? "Unknown error code" : why);
    }
  }
  void Play() override { library_.ChannelPlay(handle_, true); }
  void Stop() override { library_.ChannelPause(handle_); }
  void Close() override {
    if (handle_ != 0) library_.StreamFree(handle_);
    handle_ = 0;
  }

 private:
  AudioLibrary& library_;
  std::unique_ptr<AudioLibrary> owned_;
  uint32_t handle_ = 0;
};

}  // namespace

std::unique_ptr<EffectDevice> CreateDeviceEffectPlayer(AudioLibrary& library) {
  return std::make_unique<StreamEffectPlayer>(library);
}

std::unique_ptr<EffectDevice> CreateVirtualEffectPlayer(Clock& clock) {
  auto library = CreateVirtualAudioLibrary(clock);
  library->Init(-1, 44100, 0);
  return std::make_unique<StreamEffectPlayer>(std::move(library));
}

}  // namespace velmora
