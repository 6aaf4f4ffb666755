// MIDI files rendered by FluidSynth with a General MIDI soundfont, at the output rate.
#include <fluidsynth.h>

#include <algorithm>
#include <mutex>

#include "audio/devices/decoder.h"
#include "audio/devices/midi_file.h"

namespace velmora::audio {
namespace {

// FluidSynth writes its warnings to stderr; failures reach us through return values.
void QuietFluidLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
      fluid_set_log_function(level, nullptr, nullptr);
  });
}

class MidiDecoder : public Decoder {
 public:
  MidiDecoder(int rate, std::string bytes, int64_t songMicroseconds) : bytes_(std::move(bytes)) {
    channels_ = 2;
    rate_ = rate;
    totalFrames_ = (songMicroseconds + kMidiTailMs * 1000) * rate / 1000000;
    fadeFrames_ = std::max<int64_t>(1, kMidiFadeMs * rate / 1000);
  }
  ~MidiDecoder() override {
    if (player_) {
      fluid_player_stop(player_);
      delete_fluid_player(player_);
    }
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
  }

  std::string Start(const std::string& soundfont) {
    settings_ = new_fluid_settings();
    if (!settings_) return "Cannot start the MIDI synthesiser";
    fluid_settings_setnum(settings_, "synth.sample-rate", rate_);
    // Events are timed by the samples rendered, not by the wall clock, so the music
    // keeps its tempo whatever the output's buffering does.
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    fluid_settings_setnum(settings_, "synth.gain", 0.5);  // the default 0.2 is much quieter than other files
    fluid_settings_setint(settings_, "synth.lock-memory", 0);
    fluid_settings_setint(settings_, "synth.threadsafe-api", 0);  // the mixer serialises every call
    synth_ = new_fluid_synth(settings_);
    if (!synth_) return "Cannot start the MIDI synthesiser";
    if (fluid_synth_sfload(synth_, soundfont.c_str(), 1) == FLUID_FAILED)
      return "Cannot load the MIDI soundfont " + soundfont;
    player_ = new_fluid_player(synth_);
    if (!player_ || fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) != FLUID_OK ||
        fluid_player_play(player_) != FLUID_OK)
      return "Cannot play the MIDI file";
    return {};
  }

  // The song ends where its events say, plus the tail, whatever the synthesiser still
  // holds then: FluidSynth's own end waits for every voice to fall silent, a time that
  // depends on the soundfont and that the virtual engine could not know.
  size_t Read(float* out, size_t frames) override {
    const size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(frames), totalFrames_ - rendered_));
    if (n == 0) return 0;
    fluid_synth_write_float(synth_, static_cast<int>(n), out, 0, 2, out, 1, 2);
    const int64_t fadeFrom = totalFrames_ - fadeFrames_;
    for (size_t i = 0; i < n; ++i) {
      const int64_t at = rendered_ + static_cast<int64_t>(i);
      if (at < fadeFrom) continue;
      const float gain = static_cast<float>(totalFrames_ - at) / static_cast<float>(fadeFrames_);
      out[2 * i] *= gain;
      out[2 * i + 1] *= gain;
    }
    rendered_ += static_cast<int64_t>(n);
    return n;
  }

 private:
  std::string bytes_;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
  int64_t totalFrames_ = 0;
  int64_t fadeFrames_ = 1;
  int64_t rendered_ = 0;
};

}  // namespace

Opened OpenMidiDecoder(const std::string&, std::string bytes, const DecoderSettings& settings) {
  Opened out;
  MidiLength length = ParseMidiLength(bytes);
  if (!length.ok) {
    out.error = length.error;
    return out;
  }
  QuietFluidLog();
  auto decoder = std::make_unique<MidiDecoder>(settings.midiRate, std::move(bytes), length.microseconds);
  out.error = decoder->Start(settings.soundfont.empty() ? DefaultSoundfont() : settings.soundfont);
  if (out.error.empty()) out.decoder = std::move(decoder);
  return out;
}

}  // namespace velmora::audio
