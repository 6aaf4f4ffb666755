// MIDI files rendered by FluidSynth with a General MIDI soundfont, at the output rate.
#include <fluidsynth.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/decoder.h"
#include "platform/audio/midi_file.h"

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

// A synthesiser with its soundfont loaded.
struct Synth {
  int rate = 0;
  std::string soundfont;
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  ~Synth() {
    if (synth) delete_fluid_synth(synth);
    if (settings) delete_fluid_settings(settings);
  }
};

// Synthesisers are kept for the next MIDI track: loading the soundfont takes tens of
// milliseconds, and every new synthesiser leaks a little inside FluidSynth's
// instrument-patch library, which a MIDI track that repeats forever would add up.
class SynthPool {
 public:
  // A kept synthesiser for rate and soundfont; null when none is idle.
  std::unique_ptr<Synth> TakeIdle(int rate, const std::string& soundfont) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(idle_.begin(), idle_.end(),
                           [&](const auto& s) { return s->rate == rate && s->soundfont == soundfont; });
    if (it == idle_.end()) return nullptr;
    auto synth = std::move(*it);
    idle_.erase(it);
    return synth;
  }

  // A new synthesiser with the soundfont loaded: the slow part, any thread may call it.
  static std::unique_ptr<Synth> Make(int rate, const std::string& soundfont, std::string& error) {
    auto s = std::make_unique<Synth>();
    s->rate = rate;
    s->soundfont = soundfont;
    s->settings = new_fluid_settings();
    if (!s->settings) {
      error = "Cannot start the MIDI synthesizer";
      return nullptr;
    }
    fluid_settings_setnum(s->settings, "synth.sample-rate", rate);
    // Events are timed by the samples rendered, not by the wall clock, so the music
    // keeps its tempo whatever the output's buffering does.
    fluid_settings_setstr(s->settings, "player.timing-source", "sample");
    fluid_settings_setnum(s->settings, "synth.gain", 0.5);  // the default 0.2 is much quieter than other files
    fluid_settings_setint(s->settings, "synth.lock-memory", 0);
    fluid_settings_setint(s->settings, "synth.threadsafe-api", 0);  // the mixer serialises every call
    s->synth = new_fluid_synth(s->settings);
    if (!s->synth) {
      error = "Cannot start the MIDI synthesizer";
      return nullptr;
    }
    if (fluid_synth_sfload(s->synth, soundfont.c_str(), 1) == FLUID_FAILED) {
      error = "Cannot load the MIDI soundfont " + soundfont;
      return nullptr;
    }
    return s;
  }

  void Give(std::unique_ptr<Synth> s) {
    // Silence what the last song left: its voices, then the reverb and chorus tails.
    fluid_synth_system_reset(s->synth);
    float block[64 * 2];
    for (int i = 0; i < s->rate / 64; ++i) {
      fluid_synth_write_float(s->synth, 64, block, 0, 2, block, 1, 2);
      if (std::all_of(std::begin(block), std::end(block), [](float v) { return v == 0.0f; })) break;
    }
    std::lock_guard lock(mutex_);
    if (idle_.size() < kMaxIdle) idle_.push_back(std::move(s));
  }

 private:
  static constexpr size_t kMaxIdle = 2;
  std::mutex mutex_;
  std::vector<std::unique_ptr<Synth>> idle_;
};

SynthPool& Pool() {
  static SynthPool* pool = new SynthPool;  // kept to the end: synthesisers outlive static destruction order
  return *pool;
}

// A synthesiser being made on a worker thread for one stream. Loading a soundfont takes
// long enough to hold up the first page when the start music is MIDI, so the stream is
// not Ready until the synthesiser is, and the song then starts from its beginning, a
// little late.
struct PendingSynth {
  std::mutex mutex;
  std::condition_variable made;
  bool ready = false;
  bool abandoned = false;  // the stream went first: the worker hands the synthesiser to the pool
  std::unique_ptr<Synth> synth;
};

std::shared_ptr<PendingSynth> MakeInBackground(int rate, std::string soundfont) {
  auto pending = std::make_shared<PendingSynth>();
  std::thread([pending, rate, soundfont = std::move(soundfont)] {
    YieldToForeground();
    std::string error;
    auto synth = SynthPool::Make(rate, soundfont, error);
    std::lock_guard lock(pending->mutex);
    if (pending->abandoned) {
      if (synth) Pool().Give(std::move(synth));
      return;
    }
    pending->synth = std::move(synth);
    pending->ready = true;
    pending->made.notify_all();
  }).detach();
  return pending;
}

class MidiDecoder : public Decoder {
 public:
  MidiDecoder(int rate, std::string bytes, int64_t songMicroseconds) : bytes_(std::move(bytes)) {
    channels_ = 2;
    rate_ = rate;
    totalFrames_ = (songMicroseconds + kMidiTailMs * 1000) * rate_ / 1000000;
    fadeFrames_ = std::max<int64_t>(1, kMidiFadeMs * rate_ / 1000);
  }
  ~MidiDecoder() override {
    if (player_) {
      fluid_player_stop(player_);
      delete_fluid_player(player_);
    }
    if (started_) Pool().Give(std::move(synth_));
    if (pending_) {
      std::lock_guard lock(pending_->mutex);
      if (pending_->synth) Pool().Give(std::move(pending_->synth));
      pending_->abandoned = true;
    }
  }

  // Plays at once with a kept synthesiser; otherwise once the worker has made one.
  bool Begin(const std::string& soundfont) {
    synth_ = Pool().TakeIdle(rate_, soundfont);
    if (synth_) return Start();
    pending_ = MakeInBackground(rate_, soundfont);
    return true;
  }

  bool Ready() override {
    if (!pending_) return true;
    std::lock_guard lock(pending_->mutex);
    return pending_->ready;
  }

  void TakeMadeSynth() {
    {
      std::unique_lock lock(pending_->mutex);
      pending_->made.wait(lock, [this] { return pending_->ready; });
      synth_ = std::move(pending_->synth);
    }
    pending_.reset();
    if (synth_) Start();
  }

  bool Start() {
    player_ = new_fluid_player(synth_->synth);
    started_ = player_ && fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) == FLUID_OK &&
               fluid_player_play(player_) == FLUID_OK;
    return started_;
  }

  // The song ends where its events say, plus the tail, whatever the synthesiser still
  // holds then: FluidSynth's own end waits for every voice to fall silent, a time that
  // depends on the soundfont and that the virtual engine could not know.
  size_t Read(float* out, size_t frames) override {
    if (pending_) TakeMadeSynth();
    if (!started_) return 0;  // no synthesiser could be made: the stream ends
    const size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(frames), totalFrames_ - rendered_));
    if (n == 0) return 0;
    fluid_synth_write_float(synth_->synth, static_cast<int>(n), out, 0, 2, out, 1, 2);
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
  std::unique_ptr<Synth> synth_;
  std::shared_ptr<PendingSynth> pending_;
  std::string bytes_;
  fluid_player_t* player_ = nullptr;
  bool started_ = false;
  int64_t totalFrames_ = 0;
  int64_t fadeFrames_ = 1;
  int64_t rendered_ = 0;
};

}  // namespace

Opened OpenMidiDecoder(const std::string&, std::string bytes, const DecoderSettings& settings) {
  Opened out;
  // OpenMidi checked the file and the soundfont and named the default one already; this
  // may run on the sound thread, so it reads no file again.
  const MidiLength length = ParseMidiLength(bytes);
  if (!length.ok) {
    out.error = length.error;
    return out;
  }
  const std::string& soundfont = settings.soundfont;
  QuietFluidLog();
  auto decoder = std::make_unique<MidiDecoder>(settings.midiRate, std::move(bytes), length.microseconds);
  if (!decoder->Begin(soundfont)) {
    out.error = "Cannot play the MIDI file";
    return out;
  }
  out.decoder = std::move(decoder);
  return out;
}

}  // namespace velmora::audio

extern "C" __attribute__((visibility("default"))) const void* velmora_midi_module() {
  static const velmora::audio::MidiModule table{&velmora::audio::OpenMidiDecoder};
  return &table;
}
