// Playing lengths read from the files' headers alone, for the virtual engine where there
// is no decoding library (WebAssembly). The figures are the decoder's: WAV frames from
// the data chunk as far as the file holds it, Ogg Vorbis frames from the granule
// position of the last page, MIDI as the device engine plays it.
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/audio/decoder.h"
#include "platform/audio/midi_file.h"

namespace velmora::audio {
namespace {

// MIDI files are a few kilobytes; anything this big is not one a game would ship.
constexpr int64_t kMaxMidiBytes = 16 << 20;
// The last page of an Ogg stream lies within this much of the file's end.
constexpr int64_t kOggTailBytes = 64 << 10;
// A WAV file with more chunks before its sound than this is not one to walk to the end.
constexpr int kMaxWavChunks = 1024;

const char kDamaged[] = "The file is damaged: its length is unknown";

uint32_t Le32(std::string_view s, size_t at) {
  uint32_t v = 0;
  for (size_t i = 4; i-- > 0;) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}
uint16_t Le16(std::string_view s, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

// A file read at offsets, each read bounded by its caller.
class File {
 public:
  explicit File(const std::string& path) : f_(std::fopen(path.c_str(), "rb")) {
    if (f_ && (fseeko(f_, 0, SEEK_END) != 0 || (size_ = ftello(f_)) < 0)) {
      std::fclose(f_);
      f_ = nullptr;
    }
  }
  ~File() {
    if (f_) std::fclose(f_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  bool ok() const { return f_ != nullptr; }
  int64_t size() const { return size_; }
  std::string Read(int64_t at, int64_t count) {
    std::string out;
    count = std::min(count, size_ - at);
    if (at < 0 || count <= 0 || fseeko(f_, static_cast<off_t>(at), SEEK_SET) != 0) return out;
    out.resize(static_cast<size_t>(count));
    out.resize(std::fread(out.data(), 1, out.size(), f_));
    return out;
  }

 private:
  std::FILE* f_;
  int64_t size_ = 0;
};

Length Refused(std::string why) {
  Length out;
  out.error = std::move(why);
  return out;
}

Length Frames(int64_t frames, int rate) {
  Length out;
  out.ok = true;
  out.frames = frames;
  out.rate = rate;
  return out;
}

// Walks the chunks through the file itself, so a large chunk before the sound (a long
// LIST of tags) is stepped over rather than read.
Length WavLength(File& file) {
  int rate = 0;
  int64_t frameBytes = 0;
  int64_t at = 12;
  for (int chunk = 0; chunk < kMaxWavChunks && at + 8 <= file.size(); ++chunk) {
    const std::string header = file.Read(at, 8);
    if (header.size() < 8) break;
    const std::string_view id = std::string_view(header).substr(0, 4);
    const uint32_t size = Le32(header, 4);
    if (id == "fmt ") {
      const std::string fmt = file.Read(at + 8, 16);
      if (fmt.size() < 16) break;
      const uint16_t format = Le16(fmt, 0), channels = Le16(fmt, 2), bits = Le16(fmt, 14);
      if (format != 1 && format != 3 && format != 0xFFFE) return Refused("This WAV encoding is not read here");
      rate = static_cast<int>(Le32(fmt, 4));
      frameBytes = static_cast<int64_t>(channels) * ((bits + 7) / 8);
    } else if (id == "data") {
      if (rate <= 0 || frameBytes <= 0) return Refused("File has no audio channels");
      // A data chunk that claims more than the file holds (a file cut short, or one
      // written as a stream) plays what is there.
      const int64_t bytes = std::min<int64_t>(size, file.size() - (at + 8));
      return Frames(bytes / frameBytes, rate);
    }
    at += 8 + static_cast<int64_t>(size) + (size & 1);
  }
  return Refused(kDamaged);
}

Length OggVorbisLength(File& file, std::string_view head) {
  // The first page holds the identification header: "\x01vorbis", version, channels, rate.
  if (head.size() < 27) return Refused(kDamaged);
  const size_t packet = 27 + static_cast<unsigned char>(head[26]);
  if (head.size() < packet + 16 || head.substr(packet, 7) != std::string_view("\x01vorbis", 7))
    return Refused("This Ogg encoding is not read here");
  const int rate = static_cast<int>(Le32(head, packet + 12));
  if (head[packet + 11] == 0 || rate <= 0) return Refused("File has no audio channels");
  // The stream's last page ends it (end-of-stream flag) and carries its length in
  // frames; a file cut short ends on a page without the flag, or part of one.
  const int64_t tailAt = std::max<int64_t>(0, file.size() - kOggTailBytes);
  const std::string tail = file.Read(tailAt, file.size() - tailAt);
  for (size_t at = tail.rfind("OggS"); at != std::string::npos; at = at == 0 ? std::string::npos : tail.rfind("OggS", at - 1)) {
    if (at + 27 > tail.size() || tail[at + 4] != 0) continue;
    const size_t segments = static_cast<unsigned char>(tail[at + 26]);
    if (at + 27 + segments > tail.size()) continue;
    size_t end = at + 27 + segments;
    for (size_t i = 0; i < segments; ++i) end += static_cast<unsigned char>(tail[at + 27 + i]);
    if (end > tail.size()) continue;  // the last page, cut off
    const uint64_t granule = Le32(tail, at + 6) | static_cast<uint64_t>(Le32(tail, at + 10)) << 32;
    if (!(tail[at + 5] & 4) || granule > static_cast<uint64_t>(INT64_MAX)) break;
    return Frames(static_cast<int64_t>(granule), rate);
  }
  return Refused(kDamaged);
}

}  // namespace

Length MidiPlayingLength(std::string_view bytes) {
  const MidiLength m = ParseMidiLength(bytes);
  if (!m.ok) return Refused(m.error);
  return Frames(m.microseconds + kMidiTailMs * 1000, 1000000);
}

Length HeaderLength(const std::string& path) {
  File file(path);
  if (!file.ok()) return Refused(std::strerror(errno));
  const std::string head = file.Read(0, 4096);
  if (LooksLikeMidi(head)) {
    if (file.size() > kMaxMidiBytes) return Refused("MIDI file too large");
    return MidiPlayingLength(file.Read(0, file.size()));
  }
  if (head.size() >= 12 && head.compare(0, 4, "RIFF") == 0 && head.compare(8, 4, "WAVE") == 0) return WavLength(file);
  if (head.compare(0, 4, "OggS") == 0) return OggVorbisLength(file, head);
  return Refused("This sound format is not read here");
}

}  // namespace velmora::audio
