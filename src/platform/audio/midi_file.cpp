#include "platform/audio/midi_file.h"

#include "platform/audio/decoder.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

namespace velmora::audio {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view bytes) : b_(bytes) {}
  bool AtEnd() const { return pos_ >= b_.size(); }
  size_t Left() const { return b_.size() - pos_; }
  bool Byte(uint8_t& v) {
    if (AtEnd()) return false;
    v = static_cast<uint8_t>(b_[pos_++]);
    return true;
  }
  bool Big(int bytes, uint32_t& v) {
    v = 0;
    for (int i = 0; i < bytes; ++i) {
      uint8_t c;
      if (!Byte(c)) return false;
      v = (v << 8) | c;
    }
    return true;
  }
  // Variable-length quantity: at most four bytes.
  bool Vlq(uint32_t& v) {
    v = 0;
    for (int i = 0; i < 4; ++i) {
      uint8_t c;
      if (!Byte(c)) return false;
      v = (v << 7) | (c & 0x7f);
      if (!(c & 0x80)) return true;
    }
    return false;
  }
  bool Skip(size_t n) {
    if (n > Left()) return false;
    pos_ += n;
    return true;
  }
  std::string_view Take(size_t n) {
    std::string_view s = b_.substr(pos_, n);
    pos_ += s.size();
    return s;
  }

 private:
  std::string_view b_;
  size_t pos_ = 0;
};

struct Track {
  uint64_t endTick = 0;
  std::map<uint64_t, uint32_t> tempos;  // tick -> microseconds per quarter note
};

// Walks one track's events; a track cut short still counts up to its last whole event.
bool ReadTrack(std::string_view data, Track& track, std::string& error) {
  Reader r(data);
  uint64_t tick = 0;
  uint8_t running = 0;
  while (!r.AtEnd()) {
    uint32_t delta;
    if (!r.Vlq(delta)) break;
    tick += delta;
    uint8_t status;
    if (!r.Byte(status)) break;
    if (status == 0xff) {
      uint8_t type;
      uint32_t len;
      if (!r.Byte(type) || !r.Vlq(len) || len > r.Left()) break;
      std::string_view body = r.Take(len);
      if (type == 0x51 && len == 3) {
        uint32_t us = (uint32_t(uint8_t(body[0])) << 16) | (uint32_t(uint8_t(body[1])) << 8) | uint8_t(body[2]);
        if (us > 0) track.tempos[tick] = us;
      }
      track.endTick = tick;
      if (type == 0x2f) return true;
      continue;
    }
    if (status == 0xf0 || status == 0xf7) {
      uint32_t len;
      if (!r.Vlq(len) || !r.Skip(len)) break;
      track.endTick = tick;
      continue;
    }
    int dataBytes;
    if (status & 0x80) {
      running = status;
      dataBytes = ((status & 0xf0) == 0xc0 || (status & 0xf0) == 0xd0) ? 1 : 2;
    } else {
      if (running == 0) {
        error = "Corrupt MIDI track data";
        return false;
      }
      dataBytes = ((running & 0xf0) == 0xc0 || (running & 0xf0) == 0xd0) ? 0 : 1;  // status byte was data
    }
    if (!r.Skip(static_cast<size_t>(dataBytes))) break;
    track.endTick = tick;
  }
  return true;
}

}  // namespace

bool LooksLikeMidi(std::string_view bytes) { return bytes.substr(0, 4) == "MThd"; }

MidiLength ParseMidiLength(std::string_view bytes) {
  MidiLength out;
  Reader r(bytes);
  uint32_t headerLen = 0, format = 0, trackCount = 0, division = 0;
  if (!LooksLikeMidi(bytes) || !r.Skip(4) || !r.Big(4, headerLen) || headerLen < 6 || !r.Big(2, format) ||
      !r.Big(2, trackCount) || !r.Big(2, division) || !r.Skip(headerLen - 6)) {
    out.error = "Not a standard MIDI file";
    return out;
  }
  if (division == 0) {
    out.error = "MIDI file has no time division";
    return out;
  }
  uint64_t endTick = 0;
  std::map<uint64_t, uint32_t> tempos;
  uint32_t tracksRead = 0;
  while (tracksRead < trackCount && r.Left() >= 8) {
    std::string_view id = r.Take(4);
    uint32_t len;
    r.Big(4, len);
    std::string_view data = r.Take(len);  // a last chunk cut short is read as far as it goes
    if (id != "MTrk") continue;
    ++tracksRead;
    Track track;
    if (!ReadTrack(data, track, out.error)) return out;
    endTick = std::max(endTick, track.endTick);
    for (const auto& [tick, us] : track.tempos) tempos[tick] = us;  // a later track's change at the same tick wins
  }
  if (tracksRead == 0) {
    out.error = "MIDI file has no tracks";
    return out;
  }
  if (division & 0x8000) {
    // SMPTE time: frames per second times ticks per frame; tempo events do not apply.
    const int fps = -static_cast<int8_t>(division >> 8);
    const int perFrame = static_cast<int>(division & 0xff);
    if (fps <= 0 || perFrame == 0) {
      out.error = "MIDI file has an invalid time division";
      return out;
    }
    out.microseconds = static_cast<int64_t>(endTick * 1000000 / (static_cast<uint64_t>(fps) * perFrame));
  } else {
    // Integrate the tempo map: 120 beats per minute until the first change.
    double us = 0;
    uint64_t at = 0;
    uint32_t perQuarter = 500000;
    for (const auto& [tick, value] : tempos) {
      if (tick >= endTick) break;
      us += static_cast<double>(tick - at) * perQuarter / division;
      at = tick;
      perQuarter = value;
    }
    us += static_cast<double>(endTick - at) * perQuarter / division;
    out.microseconds = static_cast<int64_t>(us);
  }
  out.ok = true;
  return out;
}

// A readable RIFF file: SoundFont 2 (sfbk), which Debian's sf3 files are as well.
bool LooksLikeSoundfont(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char head[12] = {};
  const bool riff = std::fread(head, 1, sizeof head, f) == sizeof head && std::memcmp(head, "RIFF", 4) == 0 &&
                    std::memcmp(head + 8, "sfbk", 4) == 0;
  std::fclose(f);
  return riff;
}

std::string CheckMidi(std::string_view bytes, const std::string& soundfont, MidiLength& length) {
  length = ParseMidiLength(bytes);
  if (!length.ok) return length.error;
  if (!LooksLikeSoundfont(soundfont)) return "Cannot load the MIDI soundfont " + soundfont;
  return {};
}

std::string DefaultSoundfont() {
  for (const char* candidate : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                "/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf3/default-GM.sf3"}) {
    std::error_code ec;
    if (std::filesystem::exists(candidate, ec)) return candidate;
  }
  return "/usr/share/sounds/sf2/default-GM.sf2";
}

void YieldToForeground() {
  // Linux keeps a nice value per thread; elsewhere this lowers the whole process, which
  // no caller wants, so it is left alone there.
#if defined(__linux__)
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
#endif
}

}  // namespace velmora::audio
