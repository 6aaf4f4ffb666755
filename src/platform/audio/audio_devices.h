#pragma once
// The audio engines behind the core's audio interfaces, for the front ends to create.
//
// Device engine: decodes files in blocks (libsndfile; MIDI through FluidSynth), mixes
// every playing stream with its own volume and balance, resamples to the output rate and
// plays through SDL2. Virtual engine: no output at all; each stream takes its decoded
// length on the given clock, so on a virtual clock "has this track ended" is exact and
// repeatable. Both release streams that have played to their end (a finished stream's
// handle then reads as inactive), so a track that repeats forever does not grow memory.
#include <cstddef>
#include <memory>
#include <string>

#include "base/silent_platform.h"
#include "base/platform.h"

namespace velmora {

struct AudioDeviceOptions {
  std::string driver;     // SDL audio driver ("pulseaudio", "alsa", "dummy", "disk"...); empty: SDL's choice
  std::string device;     // output device name; empty: the default output
  std::string soundfont;  // General MIDI soundfont for .mid files; empty: the system's default-GM.sf2
  int bufferFrames = 1024;
  // For the program's start-up with windows: load the engines and open the output on a
  // worker thread as soon as the library is made; Init(-1, 44100, 0) then takes that
  // result. Background work is held back (see ReleaseBackgroundAudioWork).
  bool openEarly = false;
};

// Init returns false (and ErrorText says why) when no output device opens.
std::unique_ptr<AudioLibrary> CreateDeviceAudioLibrary(const AudioDeviceOptions& options);
std::unique_ptr<AudioLibrary> CreateVirtualAudioLibrary(Clock& clock);

// Opens and closes the output once: true when the device engine's Init would succeed,
// else false with the reason (for a launcher that falls back to playing silently).
bool ProbeAudioOutput(const AudioDeviceOptions& options, std::string* reason = nullptr);

// Sound effects mixed into the output of `library` (from either factory above), which
// must outlive the player and must have been initialised before the first sound plays.
std::unique_ptr<EffectDevice> CreateDeviceEffectPlayer(AudioLibrary& library);
// Sound effects on their own virtual engine: files are checked and timed, nothing is heard.
std::unique_ptr<EffectDevice> CreateVirtualEffectPlayer(Clock& clock);

// A device library made with openEarly holds back the engines' work on worker threads
// that would compete with the window's start-up (loading the MIDI synthesiser) until
// this is called, once the first page is on screen, or for a few seconds at most; a MIDI
// track started meanwhile is simply not ready yet.
void ReleaseBackgroundAudioWork();

// Streams an engine still holds (playing, paused, or not started); 0 for other libraries.
size_t HeldStreamCount(AudioLibrary& library);

}  // namespace velmora
