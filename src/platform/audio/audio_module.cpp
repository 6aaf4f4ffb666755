// The audio module's entry.
#include "platform/audio/audio_module.h"

#include <SDL.h>

extern "C" __attribute__((visibility("default"))) const void* velmora_audio_module() {
  using namespace velmora::audio;
  static const AudioModule table{&MakeDeviceLibrary,  &ProbeOutput,        &MakeVirtualLibrary,
                                 &HeldStreams,        &HoldBackgroundWork, &ReleaseBackgroundWork,
                                 &SDL_TLSCleanup};
  return &table;
}
