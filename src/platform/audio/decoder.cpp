#include "platform/audio/decoder.h"

#include <sndfile.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/midi_file.h"
#include "platform/dl/module_loader.h"

namespace velmora::audio {
namespace {

// MIDI files are a few kilobytes; anything this big is not one a game would ship.
constexpr std::uintmax_t kMaxMidiBytes = 16u << 20;

class SndfileDecoder : public Decoder {
 public:
  SndfileDecoder(SNDFILE* file, const SF_INFO& info) : file_(file) {
    channels_ = info.channels;
    rate_ = info.samplerate;
  }
  ~SndfileDecoder() override { sf_close(file_); }
  size_t Read(float* out, size_t frames) override {
    sf_count_t n = sf_readf_float(file_, out, static_cast<sf_count_t>(frames));
    return n > 0 ? static_cast<size_t>(n) : 0;
  }

 private:
  SNDFILE* file_;
};

std::string SndfileError() {
  const char* text = sf_strerror(nullptr);
  return text && *text ? text : "";
}

// Reads the first bytes to tell MIDI from everything else; the whole file when it is MIDI.
bool ReadHead(const std::string& path, std::string& head, bool& midi, std::string& error) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = std::strerror(errno);
    return false;
  }
  char buf[4];
  size_t n = std::fread(buf, 1, sizeof buf, f);
  head.assign(buf, n);
  midi = LooksLikeMidi(head);
  if (midi) {
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxMidiBytes) {
      std::fclose(f);
      error = "MIDI file too large";
      return false;
    }
    std::vector<char> rest(static_cast<size_t>(size));
    size_t got = std::fread(rest.data(), 1, rest.size(), f);
    head.append(rest.data(), got);
  }
  std::fclose(f);
  return true;
}

SNDFILE* OpenSndfile(const std::string& path, SF_INFO& info, std::string& error) {
  std::memset(&info, 0, sizeof info);
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    error = SndfileError();
    return nullptr;
  }
  if (info.channels <= 0 || info.samplerate <= 0) {
    sf_close(file);
    error = "File has no audio channels";
    return nullptr;
  }
  // A cut-off Ogg file announces the largest count there is: it would seem to end at
  // once, and a chain would restart it at every tick. (An MP3's count is only an
  // estimate and is measured by decoding instead.)
  if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_MPEG && (info.frames < 0 || info.frames == SF_COUNT_MAX)) {
    sf_close(file);
    error = "The file is damaged: its length is unknown";
    return nullptr;
  }
  return file;
}

struct BackgroundGate {
  std::mutex mutex;
  std::condition_variable released;
  bool held = false;
  std::chrono::steady_clock::time_point limit;
};

BackgroundGate& Gate() {
  static BackgroundGate gate;
  return gate;
}

// FluidSynth and its dozens of libraries load on a worker thread with the first MIDI
// track, once for the run.
std::shared_future<ModuleEntry> MidiModuleLoading(const ModuleFile& file) {
  static const std::shared_future<ModuleEntry> loading = [&] {
    std::packaged_task<ModuleEntry()> task([file] {
      // Not at a lowered priority: loading holds the dynamic loader's lock, which the
      // window's thread may be waiting for.
      WaitForBackgroundTurn();
      return OpenModule(file, kMidiModuleEntry);
    });
    std::shared_future<ModuleEntry> future = task.get_future().share();
    std::thread(std::move(task)).detach();
    return future;
  }();
  return loading;
}

// A MIDI track whose synthesiser comes from the MIDI module once that has loaded. Until
// then the stream is not Ready, so the mixer passes it over and a MIDI start track never
// holds up the first page; its song then starts from the beginning, a little late.
class LateMidiDecoder : public Decoder {
 public:
  LateMidiDecoder(std::string path, std::string bytes, DecoderSettings settings,
                  std::shared_future<ModuleEntry> module)
      : path_(std::move(path)), bytes_(std::move(bytes)), settings_(std::move(settings)), module_(std::move(module)) {
    channels_ = 2;
    rate_ = settings_.midiRate;
  }

  bool Ready() override {
    if (!opened_ && module_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return false;
    Open();
    return !inner_ || inner_->Ready();
  }

  size_t Read(float* out, size_t frames) override {
    Open();
    return inner_ ? inner_->Read(out, frames) : 0;
  }

 private:
  void Open() {
    if (opened_) return;
    opened_ = true;
    const ModuleEntry& module = module_.get();
    std::string error = module.error;
    if (module.entry) {
      Opened opened = static_cast<const MidiModule*>(module.entry)->open(path_, std::move(bytes_), settings_);
      inner_ = std::move(opened.decoder);
      error = opened.error;
    }
    // The track was checked when it was opened; what still goes wrong here (the module's
    // libraries will not load) ends it without a sound, said once on stderr.
    if (!inner_) std::fprintf(stderr, "velmora-player: %s: %s\n", path_.c_str(), error.c_str());
  }

  std::string path_;
  std::string bytes_;
  DecoderSettings settings_;
  std::shared_future<ModuleEntry> module_;
  std::unique_ptr<Decoder> inner_;
  bool opened_ = false;
};

Opened OpenMidi(const std::string& path, std::string bytes, DecoderSettings settings) {
  Opened out;
  if (settings.soundfont.empty()) settings.soundfont = DefaultSoundfont();
  MidiLength length;
  out.error = CheckMidi(bytes, settings.soundfont, length);
  if (!out.error.empty()) return out;
  static const ModuleFile module = FindModule(kMidiModuleFile);
  if (module.path.empty()) {
    out.error = module.error;
    return out;
  }
  out.decoder = std::make_unique<LateMidiDecoder>(path, std::move(bytes), std::move(settings),
                                                   MidiModuleLoading(module));
  return out;
}

}  // namespace

void HoldBackgroundWork() {
  BackgroundGate& gate = Gate();
  std::lock_guard lock(gate.mutex);
  gate.held = true;
  gate.limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBackgroundHoldLimitMs);
}

void ReleaseBackgroundWork() {
  BackgroundGate& gate = Gate();
  {
    std::lock_guard lock(gate.mutex);
    gate.held = false;
  }
  gate.released.notify_all();
}

void WaitForBackgroundTurn() {
  BackgroundGate& gate = Gate();
  std::unique_lock lock(gate.mutex);
  if (gate.held) gate.released.wait_until(lock, gate.limit, [&] { return !gate.held; });
}

Opened OpenDecoder(const std::string& path, const DecoderSettings& settings) {
  Opened out;
  std::string head;
  bool midi = false;
  if (!ReadHead(path, head, midi, out.error)) return out;
  if (midi) return OpenMidi(path, std::move(head), settings);
  SF_INFO info;
  SNDFILE* file = OpenSndfile(path, info, out.error);
  if (file) out.decoder = std::make_unique<SndfileDecoder>(file, info);
  return out;
}

Length ProbeLength(const std::string& path) {
  Length out;
  std::string head;
  bool midi = false;
  if (!ReadHead(path, head, midi, out.error)) return out;
  if (midi) return MidiPlayingLength(head);
  SF_INFO info;
  SNDFILE* file = OpenSndfile(path, info, out.error);
  if (!file) return out;
  out.ok = true;
  out.rate = info.samplerate;
  if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG) {
    // The header only estimates an MP3's length; the decoder's count is what plays.
    std::vector<float> block(static_cast<size_t>(4096) * info.channels);
    for (sf_count_t n; (n = sf_readf_float(file, block.data(), 4096)) > 0;) out.frames += n;
  } else {
    out.frames = info.frames;
  }
  sf_close(file);
  return out;
}

}  // namespace velmora::audio
