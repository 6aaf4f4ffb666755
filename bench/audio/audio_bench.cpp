// Audio engine costs: starting a long MP3 track, mixing four streams, and memory over a
// long chain of tracks through the whole path (music chain, device engine, SDL output).
//
// Targets: a five-minute MP3 starts (stream created, played, first block mixed) in at
// most 20 ms; mixing four streams costs at most 2% of one core at 44.1 kHz stereo
// (core_percent); memory stays flat over 1,000 chained tracks (rss_growth_kb).
#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "base/silent_platform.h"
#include "platform/audio/audio_devices.h"
#include "platform/audio/decoder.h"
#include "platform/audio/mixer.h"
#include "platform/files/posix_files.h"
#include "audio/music_player.h"
#include "base/game.h"
#include "base/virtual_clock.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path p = fs::temp_directory_path() / "velmora-audio-bench";
    fs::create_directories(p / "Music");
    return p;
  }();
  return folder;
}

// Music-like test material: two detuned tones with a slow tremolo, so encoders work as hard as on music.
std::string Tone(const std::string& name, int format, int rate, int channels, double seconds) {
  std::string path = (Folder() / "Music" / name).string();
  if (fs::exists(path)) return path;
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open((path + ".part").c_str(), SFM_WRITE, &info);
  if (!f) std::abort();
  std::vector<float> block(4096 * static_cast<size_t>(channels));
  const auto frames = static_cast<int64_t>(seconds * rate);
  for (int64_t at = 0; at < frames; at += 4096) {
    const int64_t n = std::min<int64_t>(4096, frames - at);
    for (int64_t i = 0; i < n; ++i) {
      const double t = static_cast<double>(at + i) / rate;
      const double v = 0.3 * std::sin(2 * M_PI * 220 * t) * (0.6 + 0.4 * std::sin(2 * M_PI * 0.5 * t)) +
                       0.2 * std::sin(2 * M_PI * 331 * t);
      for (int c = 0; c < channels; ++c) block[static_cast<size_t>(i * channels + c)] = static_cast<float>(v);
    }
    sf_writef_float(f, block.data(), n);
  }
  sf_close(f);
  fs::rename(path + ".part", path);
  return path;
}

// One track of piano notes, eighths at 120 bpm (a quarter of a second each).
std::string Midi(const std::string& name, int notes) {
  std::string path = (Folder() / "Music" / name).string();
  std::string events;
  const char keys[] = {60, 64, 67, 72, 67, 64, 60, 55};
  events += std::string("\x00\xc0\x00", 3);
  for (int i = 0; i < notes; ++i) {
    const char k = keys[i % 8];
    events += std::string("\x00\x90", 2) + k + "\x64" + "\x81\x70\x80" + k + std::string(1, '\0');
  }
  events += std::string("\x00\xff\x2f\x00", 4);
  auto big = [](uint32_t v, int n) {
    std::string s;
    for (int i = n - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xff);
    return s;
  };
  std::ofstream(path, std::ios::binary) << "MThd" << big(6, 4) << big(0, 2) << big(1, 2) << big(480, 2) << "MTrk"
                                        << big(static_cast<uint32_t>(events.size()), 4) << events;
  return path;
}

std::unique_ptr<audio::StreamSource> Source(const std::string& path, int rate) {
  auto opened = audio::OpenDecoder(path, {rate, ""});
  if (!opened.decoder) std::abort();
  return std::make_unique<audio::StreamSource>(std::move(opened.decoder), rate);
}

void BM_StartFiveMinuteMp3(benchmark::State& state) {
  const std::string mp3 = Tone("five-minutes.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 300);
  audio::Mixer mixer(44100);
  std::vector<float> block(1024 * 2);
  for (auto _ : state) {
    uint32_t h = mixer.Add(Source(mp3, 44100));
    mixer.Play(h);
    mixer.Mix(block.data(), 1024);
    benchmark::DoNotOptimize(block.data());
    state.PauseTiming();
    mixer.Free(h);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartFiveMinuteMp3)->Unit(benchmark::kMillisecond);

// One second of output per iteration, in the device's 1024-frame blocks.
void MixFourStreams(benchmark::State& state, const std::vector<std::string>& files) {
  audio::Mixer mixer(44100);
  std::vector<float> block(1024 * 2);
  auto restart = [&] {
    mixer.FreeAll();
    for (const auto& f : files) {
      uint32_t h = mixer.Add(Source(f, 44100));
      mixer.SetVolume(h, 0.7f);
      mixer.SetPan(h, -0.4f);
      mixer.Play(h);
    }
  };
  restart();
  for (auto _ : state) {
    for (int i = 0; i < 44100 / 1024 + 1; ++i) {
      mixer.Mix(block.data(), 1024);
      benchmark::DoNotOptimize(block.data());
    }
    state.PauseTiming();
    if (mixer.IsActive(1) == 0 || mixer.Count() < files.size()) restart();  // a file ran out
    state.ResumeTiming();
  }
  // The share of one core that playing these streams takes: CPU time per second of sound.
  const double soundSeconds = 1024.0 * (44100 / 1024 + 1) / 44100;
  state.counters["core_percent"] = benchmark::Counter(
      soundSeconds / 100, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_MixFourStreams(benchmark::State& state) {
  MixFourStreams(state, {Tone("a.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 120),
                         Tone("b.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 120),
                         Tone("c.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, 120),
                         Tone("d.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 2, 120)});
}
BENCHMARK(BM_MixFourStreams)->Unit(benchmark::kMillisecond);

void BM_MixFourStreamsWithMidi(benchmark::State& state) {
  MixFourStreams(state, {Tone("a.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 120),
                         Tone("b.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 120),
                         Tone("c.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, 120), Midi("d.mid", 480)});
}
BENCHMARK(BM_MixFourStreamsWithMidi)->Unit(benchmark::kMillisecond);

long RssKb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

class QuietDialogs : public Dialogs {
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&) override {}
  void ShowSystemError(const std::string&) override {}
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
};

// The real path: the music chain repeating one track, the device engine, SDL output
// (its disk driver writing to /dev/null as fast as it can, so a second of sound takes
// far less than a second). Memory is read after 100 tracks and again at the end.
void ChainTracks(benchmark::State& state, const std::string& file, size_t tracks) {
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  setenv("SDL_DISKAUDIODELAY", "0", 1);
  AudioDeviceOptions options;
  options.driver = "disk";
  auto library = CreateDeviceAudioLibrary(options);
  if (!library->Init(-1, 44100, 0)) {
    state.SkipWithError(library->ErrorText().c_str());
    return;
  }
  std::ofstream(Folder() / "music.lst") << "[Loop]\nTrack=" << fs::path(file).filename().string()
                                         << "\nNextTrack=Loop\n";
  VirtualClock clock;
  QuietDialogs dialogs;
  PosixFiles files;
  Platform platform;
  platform.files = &files;
  platform.dialogs = &dialogs;
  platform.clock = &clock;
  platform.audio = library.get();
  GameOptions options2;
  options2.gameFolder = Folder().string() + "/";
  long before = 0, after = 0;
  size_t held = 0, logBytes = 0;
  for (auto _ : state) {
    Game game(platform, options2);
    game.tracklist = std::make_unique<IniDocument>(files, (Folder() / "music.lst").string());
    PlayTrack(game, "Loop");
    size_t started = 1;
    uint32_t last = game.music->musicStream;
    while (started < tracks + 100) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      ContinueMusicChain(game);  // what the 100 ms tick does
      if (game.music->musicStream != last) {
        last = game.music->musicStream;
        if (++started == 100) {
          before = RssKb();
          for (const auto& line : game.log.Lines()) logBytes -= line.capacity() + sizeof line;
        }
      }
      held = std::max(held, HeldStreamCount(*library));
    }
    after = RssKb();
    for (const auto& line : game.log.Lines()) logBytes += line.capacity() + sizeof line;
  }
  library->Stop();
  library->Free();
  // The run's log keeps a line per track by design; that part of the growth is not the engine's.
  state.counters["rss_growth_kb"] = static_cast<double>(after - before);
  state.counters["log_growth_kb"] = static_cast<double>(logBytes) / 1024;
  state.counters["max_held_streams"] = static_cast<double>(held);
}

void BM_ChainThousandOggTracks(benchmark::State& state) {
  ChainTracks(state, Tone("loop.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 0.5), 1000);
}
BENCHMARK(BM_ChainThousandOggTracks)->Iterations(1)->Unit(benchmark::kSecond);

void BM_ChainThousandMidiTracks(benchmark::State& state) { ChainTracks(state, Midi("loop.mid", 1), 1000); }
BENCHMARK(BM_ChainThousandMidiTracks)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
