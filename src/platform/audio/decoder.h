#pragma once
// Decoders turn one audio file into interleaved float frames, a block at a time, so a
// long track never sits in memory whole. Files that start like a standard MIDI file are
// rendered with a General MIDI synthesiser; everything else goes to libsndfile (WAV,
// AIFF, FLAC, Ogg Vorbis, Opus, MP3 ...).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace velmora::audio {

// What a MIDI track plays on after its last event, for the notes' release and the
// reverb, fading out over its last part. Both engines add it, so a MIDI track is equally
// long in each.
constexpr int64_t kMidiTailMs = 1000;
constexpr int64_t kMidiFadeMs = 300;

class Decoder {
 public:
  virtual ~Decoder() = default;
  int Channels() const { return channels_; }
  int Rate() const { return rate_; }
  // Reads up to `frames` interleaved frames into out; fewer only at the end, 0 after it.
  // Waits while the decoder is not Ready.
  virtual size_t Read(float* out, size_t frames) = 0;
  // False while the decoder is still being prepared on another thread; the mixer passes
  // such a stream over instead of waiting, so its sound starts a little later.
  virtual bool Ready() { return true; }

 protected:
  int channels_ = 0;
  int rate_ = 0;
};

struct DecoderSettings {
  int midiRate = 44100;   // MIDI is rendered straight at the output rate
  std::string soundfont;  // empty: the system's General MIDI soundfont
};

struct Opened {
  std::unique_ptr<Decoder> decoder;
  std::string error;  // why not, when decoder is null
};

Opened OpenDecoder(const std::string& path, const DecoderSettings& settings);

struct Length {
  bool ok = false;
  int64_t frames = 0;
  int rate = 0;
  std::string error;
  // Rounded up; whole seconds first, so that no frame count can overflow.
  int64_t Milliseconds() const {
    return rate > 0 && frames > 0 ? frames / rate * 1000 + ((frames % rate) * 1000 + rate - 1) / rate : 0;
  }
};

// The exact playing length, as the device engine would play the file: from the file's
// header where that is exact, by decoding to the end where it is only an estimate (MP3).
Length ProbeLength(const std::string& path);

// The same length from the file's headers alone, for builds without the decoding
// library: standard MIDI, WAV (PCM or float) and Ogg Vorbis; other kinds are refused.
Length HeaderLength(const std::string& path);
// A MIDI track's playing length from its bytes, its tail included.
Length MidiPlayingLength(std::string_view bytes);

// The soundfont used when none is configured: Debian's General MIDI default.
std::string DefaultSoundfont();

// Opens a MIDI decoder (midi_decoder.cpp). It lives in a module of its own
// (velmora-midi.so), so FluidSynth and its many libraries load only with the first MIDI
// track, and on the thread that opens it rather than before the first page.
Opened OpenMidiDecoder(const std::string& path, std::string bytes, const DecoderSettings& settings);

// Background work that would compete with the program's start-up (loading the MIDI
// synthesiser) waits while it is held back: from HoldBackgroundWork until
// ReleaseBackgroundWork, or at most kBackgroundHoldLimitMs. Not held, it starts at once.
constexpr int64_t kBackgroundHoldLimitMs = 3000;
void HoldBackgroundWork();
void ReleaseBackgroundWork();
void WaitForBackgroundTurn();

struct MidiModule {
  Opened (*open)(const std::string& path, std::string bytes, const DecoderSettings& settings);
};
constexpr const char* kMidiModuleFile = "velmora-midi.so";
constexpr const char* kMidiModuleEntry = "velmora_midi_module";

}  // namespace velmora::audio
