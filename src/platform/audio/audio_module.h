#pragma once
// The audio engines live in a module of their own (velmora-audio.so): SDL2, libsndfile and
// the thirty libraries they bring are loaded with it, and the player loads it on a worker
// thread while its window is being built (see audio_devices.cpp).
#include <cstddef>
#include <memory>
#include <string>

#include "base/platform.h"
#include "platform/audio/audio_devices.h"
#include "platform/audio/decoder.h"

namespace velmora::audio {

std::unique_ptr<AudioLibrary> MakeDeviceLibrary(const AudioDeviceOptions& options);
bool ProbeOutput(const AudioDeviceOptions& options, std::string* reason);
std::unique_ptr<AudioLibrary> MakeVirtualLibrary(Clock& clock);
size_t HeldStreams(AudioLibrary& library);

struct AudioModule {
  decltype(&MakeDeviceLibrary) makeDevice;
  decltype(&ProbeOutput) probeOutput;
  decltype(&MakeVirtualLibrary) makeVirtual;
  decltype(&HeldStreams) heldStreams;
  void (*holdBackgroundWork)();
  void (*releaseBackgroundWork)();
  // For a thread of the caller's own that used the sound device: what the sound library
  // keeps per thread (its error text) is released; call it as the thread's last act.
  void (*endThread)();
};
constexpr const char* kAudioModuleFile = "velmora-audio.so";
constexpr const char* kAudioModuleEntry = "velmora_audio_module";

}  // namespace velmora::audio
