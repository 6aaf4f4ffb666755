// The device engine: streams mixed by the Mixer and played through SDL2's audio output.
#include <SDL.h>
#include <dlfcn.h>

#include "platform/audio/audio_module.h"
#include "platform/audio/engine_library.h"
#include "platform/audio/mixer.h"

namespace velmora {
namespace audio {
namespace {

// On a machine without a sound card, ALSA writes a screenful of errors to stderr while
// SDL looks for a device. The player reports the one reason that matters itself, so
// ALSA's messages go nowhere: its library is loaded here first (SDL then shares it).
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa() {
  static bool done = false;
  if (done) return;
  done = true;
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!alsa) return;
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"));
  if (set) set(&IgnoreAlsaError);
}

class DeviceAudioLibrary : public EngineLibrary {
 public:
  explicit DeviceAudioLibrary(AudioDeviceOptions options) : options_(std::move(options)) {}
  ~DeviceAudioLibrary() override { Free(); }

  bool Init(int32_t, uint32_t freq, uint32_t) override {
    if (mixer_) return Fail("The audio output is already initialized");
    QuietAlsa();
    // SIGINT and SIGTERM are the program's: they end the game through its shutdown.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Fail(std::string("No audio driver: ") + SDL_GetError());
    if (!options_.driver.empty()) {
      SDL_AudioQuit();
      if (SDL_AudioInit(options_.driver.c_str()) != 0) {
        std::string why = std::string("Audio driver ") + options_.driver + ": " + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return Fail(why);
      }
    }
    SDL_AudioSpec want{}, have{};
    want.freq = freq > 0 ? static_cast<int>(freq) : 44100;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(options_.bufferFrames > 0 ? options_.bufferFrames : 1024);
    want.callback = &DeviceAudioLibrary::Callback;
    want.userdata = this;
    // Float stereo is what the mixer makes; SDL converts if the device wants otherwise.
    // The rate follows the device, so nothing is resampled twice.
    device_ = SDL_OpenAudioDevice(options_.device.empty() ? nullptr : options_.device.c_str(), 0, &want, &have,
                                  SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device_ == 0) {
      std::string why = std::string("No audio device: ") + SDL_GetError();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return Fail(why);
    }
    {
      std::lock_guard lock(callbackMutex_);
      mixer_ = std::make_unique<Mixer>(have.freq);
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  uint32_t StreamCreateFile(const std::string& path) override {
    if (!mixer_) {
      Fail(kNotInitialised);
      return 0;
    }
    Opened opened = OpenDecoder(path, DecoderSettings{mixer_->Rate(), options_.soundfont});
    if (!opened.decoder) {
      Fail(opened.error);
      return 0;
    }
    return mixer_->Add(std::make_unique<StreamSource>(std::move(opened.decoder), mixer_->Rate()));
  }

  bool ChannelPlay(uint32_t handle, bool) override {
    if (!mixer_ || !mixer_->Play(handle)) return Fail("No such stream");
    SDL_PauseAudioDevice(device_, 0);  // output stopped by Stop starts again
    return true;
  }
  uint32_t ChannelIsActive(uint32_t handle) override { return mixer_ ? mixer_->IsActive(handle) : kInactive; }
  bool ChannelPause(uint32_t handle) override { return mixer_ && mixer_->Pause(handle); }
  bool ChannelSetAttribute(uint32_t handle, uint32_t attrib, float value) override {
    if (!mixer_) return false;
    if (attrib == kAttribVolume) return mixer_->SetVolume(handle, value);
    if (attrib == kAttribPan) return mixer_->SetPan(handle, value);
    return false;
  }
  bool Stop() override {
    if (!mixer_) return false;
    SDL_PauseAudioDevice(device_, 1);
    return true;
  }
  bool StreamFree(uint32_t handle) override { return mixer_ && mixer_->Free(handle); }
  int64_t ChannelGetPosition(uint32_t handle) override { return mixer_ ? mixer_->PositionMs(handle) : -1; }
  bool ChannelSetPosition(uint32_t handle, int64_t ms) override { return mixer_ && mixer_->SetPositionMs(handle, ms); }

  bool Free() override {
    if (!mixer_) return false;
    SDL_CloseAudioDevice(device_);  // waits for a running callback
    device_ = 0;
    {
      std::lock_guard lock(callbackMutex_);
      mixer_.reset();
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return true;
  }

  size_t HeldStreams() override { return mixer_ ? mixer_->Count() : 0; }

 private:
  static void SDLCALL Callback(void* self, Uint8* stream, int bytes) {
    auto* lib = static_cast<DeviceAudioLibrary*>(self);
    std::lock_guard lock(lib->callbackMutex_);
    const size_t frames = static_cast<size_t>(bytes) / (2 * sizeof(float));
    if (lib->mixer_) {
      lib->mixer_->Mix(reinterpret_cast<float*>(stream), frames);
    } else {
      SDL_memset(stream, 0, static_cast<size_t>(bytes));
    }
  }

  AudioDeviceOptions options_;
  SDL_AudioDeviceID device_ = 0;
  std::mutex callbackMutex_;  // guards mixer_ itself; the mixer guards its streams
  std::unique_ptr<Mixer> mixer_;
};

}  // namespace

std::unique_ptr<AudioLibrary> MakeDeviceLibrary(const AudioDeviceOptions& options) {
  return std::make_unique<DeviceAudioLibrary>(options);
}

bool ProbeOutput(const AudioDeviceOptions& options, std::string* reason) {
  DeviceAudioLibrary library(options);
  const bool ok = library.Init(-1, 44100, 0);
  if (!ok && reason) *reason = library.ErrorText();
  return ok;
}

}  // namespace audio
}  // namespace velmora
