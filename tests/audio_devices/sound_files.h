#pragma once
// Sound files made for the tests: tones in any format libsndfile writes, and small MIDI
// files assembled byte by byte.
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace velmora::testing {

// A sine tone; returns false when libsndfile cannot write the format here.
inline bool WriteTone(const std::string& path, int format, int rate, int channels, double seconds,
                      double amplitude = 0.5, double frequency = 440) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  const auto frames = static_cast<size_t>(std::lround(seconds * rate));
  std::vector<float> data(frames * static_cast<size_t>(channels));
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      data[i * channels + c] = static_cast<float>(amplitude * std::sin(2 * M_PI * frequency * i / rate));
  sf_writef_float(file, data.data(), static_cast<sf_count_t>(frames));
  sf_close(file);
  return true;
}

inline std::string Vlq(uint32_t v) {
  std::string out(1, static_cast<char>(v & 0x7f));
  while (v >>= 7) out.insert(out.begin(), static_cast<char>((v & 0x7f) | 0x80));
  return out;
}

inline std::string Big(uint32_t v, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xff);
  return out;
}

inline std::string MidiTrack(const std::string& events) { return "MTrk" + Big(events.size(), 4) + events; }

inline std::string MidiFile(uint16_t division, const std::vector<std::string>& tracks, uint16_t format = 1) {
  std::string out = "MThd" + Big(6, 4) + Big(format, 2) + Big(tracks.size(), 2) + Big(division, 2);
  for (const auto& t : tracks) out += MidiTrack(t);
  return out;
}

inline std::string Tempo(uint32_t delta, uint32_t microsecondsPerQuarter) {
  return Vlq(delta) + "\xff\x51\x03" + Big(microsecondsPerQuarter, 3);
}
inline std::string EndOfTrack(uint32_t delta) { return Vlq(delta) + std::string("\xff\x2f\x00", 3); }
// A piano note held for `ticks`.
inline std::string Note(uint32_t delta, uint32_t ticks, uint8_t key = 60) {
  return Vlq(delta) + std::string("\xc0\x00", 2) + Vlq(0) + "\x90" + static_cast<char>(key) + "\x64" + Vlq(ticks) +
         "\x80" + static_cast<char>(key) + std::string(1, '\0');
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace velmora::testing
