#include "save/save_format.h"

#include <zlib.h>

#include "base/ini_document.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace velmora {

namespace {

constexpr char kMagic[8] = {'V', 'E', 'L', 'M', 'S', 'A', 'V', 'E'};
// Packing speed matters more than size: a save must take no noticeable time, even with a
// story file of several megabytes.
constexpr int kCompressionLevel = 1;
// The run's state besides the game files: variables, sets, inventory, page, windows.
constexpr uint64_t kMaxStateBytes = uint64_t{512} << 20;

// Where a packing writer's bytes go, in pieces of any size.
class Sink {
 public:
  virtual void Take(const char* data, size_t size) = 0;

 protected:
  ~Sink() = default;
};

class Writer {
 public:
  std::string out;
  // Counting only: what `out` would hold, so that a large body is made in one allocation.
  bool counting = false;
  uint64_t counted = 0;
  // When set, `out` only gathers small fields and hands them on in pieces of about
  // kStaged bytes; a large field goes to the sink as it is, never copied.
  Sink* sink = nullptr;
  static constexpr size_t kStaged = 64 * 1024;
  void Put(const char* data, size_t size) {
    if (counting) {
      counted += size;
      return;
    }
    if (sink && out.size() + size > kStaged) {
      Flush();
      if (size >= kStaged) return sink->Take(data, size);
    }
    out.append(data, size);
  }
  void Flush() {
    if (!sink || out.empty()) return;
    sink->Take(out.data(), out.size());
    out.clear();
  }
  void U8(uint8_t v) {
    const char c = static_cast<char>(v);
    Put(&c, 1);
  }
  void Bool(bool v) { U8(v ? 1 : 0); }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void U64(uint64_t v) {
    for (int i = 0; i < 8; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void I64(int64_t v) { U64(static_cast<uint64_t>(v)); }
  void F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(bits);
  }
  void Text(const std::string& s) {
    U32(static_cast<uint32_t>(s.size()));
    Put(s.data(), s.size());
  }
  void Lines(const std::vector<std::string>& lines) {
    U32(static_cast<uint32_t>(lines.size()));
    for (const std::string& l : lines) Text(l);
  }
  void OptionalF32(const std::optional<float>& v) {
    Bool(v.has_value());
    F32(v.value_or(0.0f));
  }

  void Field(const std::string& v) { Text(v); }
  void Field(const std::vector<std::string>& v) { Lines(v); }
  void Field(bool v) { Bool(v); }
  void Field(int32_t v) { I32(v); }
  void Field(uint32_t v) { U32(v); }
  void Field(int64_t v) { I64(v); }
  void Field(const std::optional<float>& v) { OptionalF32(v); }
  void Field(const FileImage& f) {
    U8(static_cast<uint8_t>(f.role));
    Bool(f.present);
    Text(f.present ? *f.bytes : std::string());
  }
  template <class T, class F>
  void Each(std::vector<T>& items, size_t, F each, size_t = UINT32_MAX) {
    U32(static_cast<uint32_t>(items.size()));
    for (T& item : items) each(item);
  }
};

struct Damaged {};

// Where a streaming reader's bytes come from: a body that says it is `Claimed()` bytes.
class Source {
 public:
  // Up to `room` more bytes into `to`; 0 only at the end. Throws Damaged when the body
  // is damaged or longer than its claim.
  virtual size_t Read(char* to, size_t room) = 0;
  // Bytes still to come by the claim.
  virtual uint64_t Unread() const = 0;

 protected:
  ~Source() = default;
};

class Reader {
 public:
  Reader(const char* data, size_t size) : p_(data), end_(data + size) {}
  // Reads the body as the source hands it out, holding only a small window of it besides
  // the fields made so far.
  explicit Reader(Source& source) : source_(&source), window_(kWindow), p_(window_.data()), end_(p_) {}
  size_t Left() const {
    const uint64_t left = static_cast<uint64_t>(end_ - p_) + (source_ ? source_->Unread() : 0);
    return static_cast<size_t>(std::min<uint64_t>(left, std::numeric_limits<size_t>::max()));
  }
  const char* Take(size_t n) {
    if (n > Left()) throw Damaged{};
    if (n > static_cast<size_t>(end_ - p_)) Fill(n);
    const char* at = p_;
    p_ += n;
    return at;
  }
  uint8_t U8() { return static_cast<uint8_t>(*Take(1)); }
  bool Bool() {
    const uint8_t v = U8();
    if (v > 1) throw Damaged{};
    return v == 1;
  }
  uint32_t U32() {
    const auto* b = reinterpret_cast<const unsigned char*>(Take(4));
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  }
  uint64_t U64() {
    const uint64_t low = U32();
    return low | (static_cast<uint64_t>(U32()) << 32);
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  int64_t I64() { return static_cast<int64_t>(U64()); }
  float F32() {
    const uint32_t bits = U32();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  std::string Text(size_t maxBytes = UINT32_MAX) {
    const uint32_t n = U32();
    if (n > maxBytes) throw Damaged{};
    if (!source_) return std::string(Take(n), n);
    if (n > Left()) throw Damaged{};
    // Made piece by piece as the body comes: memory follows what arrived, not the claim
    // (reserved pages never written cost nothing).
    std::string text;
    text.reserve(n);
    while (text.size() < n) {
      if (p_ == end_) Fill(1);
      const size_t piece = std::min<size_t>(n - text.size(), static_cast<size_t>(end_ - p_));
      text.append(p_, piece);
      p_ += piece;
    }
    return text;
  }
  // A count of things that each take at least `least` bytes: a damaged count cannot make
  // the reader reserve more than the file could hold.
  uint32_t Count(size_t least) {
    const uint32_t n = U32();
    if (static_cast<uint64_t>(n) * least > Left()) throw Damaged{};
    return n;
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> lines(Count(4));
    for (std::string& l : lines) l = Text();
    return lines;
  }
  std::optional<float> OptionalF32() {
    const bool has = Bool();
    const float v = F32();
    return has ? std::optional<float>(v) : std::nullopt;
  }
  bool AtEnd() {
    if (p_ != end_) return false;
    if (!source_) return true;
    char more;
    return source_->Read(&more, 1) == 0 && source_->Unread() == 0;
  }

  void Field(std::string& v) { v = Text(); }
  void Field(std::vector<std::string>& v) { v = Lines(); }
  void Field(bool& v) { v = Bool(); }
  void Field(int32_t& v) { v = I32(); }
  void Field(uint32_t& v) { v = U32(); }
  void Field(int64_t& v) { v = I64(); }
  void Field(std::optional<float>& v) { v = OptionalF32(); }
  // File contents are shared with the run's other images of the same bytes.
  void Field(FileImage& f) {
    const uint8_t role = U8();
    if (role >= kGameFileRoles || !files_) throw Damaged{};
    f.role = static_cast<GameFileRole>(role);
    f.present = Bool();
    // Held to the bound of reading that file from the game folder.
    std::string bytes = Text(IniDocument::kMaxFileSize);
    if (f.present) f.bytes = files_->Intern(std::move(bytes));
  }
  // `least`: the bytes each item takes at least, so a damaged count cannot make the
  // reader reserve more than the file could hold; `most`: what the run could ever hold.
  template <class T, class F>
  void Each(std::vector<T>& items, size_t least, F each, size_t most = UINT32_MAX) {
    const uint32_t n = Count(least);
    if (n > most) throw Damaged{};
    items.resize(n);
    for (T& item : items) each(item);
  }
  FileImages* files_ = nullptr;

 private:
  static constexpr size_t kWindow = 64 * 1024;
  // At least n bytes in the window (n at most kWindow), what is left of it kept.
  void Fill(size_t n) {
    if (!source_ || n > kWindow) throw Damaged{};
    const size_t kept = static_cast<size_t>(end_ - p_);
    std::memmove(window_.data(), p_, kept);
    p_ = window_.data();
    end_ = p_ + kept;
    while (static_cast<size_t>(end_ - p_) < n) {
      char* at = window_.data() + (end_ - p_);
      const size_t got = source_->Read(at, kWindow - static_cast<size_t>(end_ - p_));
      if (got == 0) throw Damaged{};
      end_ += got;
    }
  }

  Source* source_ = nullptr;
  std::vector<char> window_;
  const char* p_;
  const char* end_;
};

uint32_t Crc(const char* data, size_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // crc32 takes at most 4 GiB at a time.
  while (size > 0) {
    const size_t n = std::min<size_t>(size, std::numeric_limits<uInt>::max());
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(n));
    data += n;
    size -= n;
  }
  return static_cast<uint32_t>(crc);
}

uint32_t Crc(const std::string& s) { return Crc(s.data(), s.size()); }

// The body's fields, in their order, once for writing and reading alike: Writer and
// Reader offer the same Field and Each, so the two can never disagree.
template <class IO>
void PictureFields(IO& io, PictureImage& p) {
  io.Field(p.shown);
  io.Field(p.file);
}

template <class IO>
void BodyFields(IO& io, Snapshot& s, uint32_t version) {
  io.Field(s.vars.intRecords);
  io.Field(s.vars.strRecords);
  io.Each(s.vars.intSet, 4, [&](int32_t& v) { io.Field(v); });
  io.Field(s.vars.strSet);

  io.Each(s.items, 40, [&](ItemFields& f) {
    io.Field(f.name);
    io.Field(f.displayName);
    io.Field(f.picture);
    io.Field(f.count);
    io.Field(f.maxCount);
    io.Field(f.enabled);
    io.Field(f.script);
    io.Field(f.linesCount);
    io.Field(f.canEquip);
    io.Field(f.isEquipped);
    io.Field(f.equipScript);
    io.Field(f.unEquipScript);
    io.Field(f.lines);
  }, kMaxItems);
  io.Each(s.labels, 12, [&](ScriptLabel& l) {
    io.Field(l.name);
    io.Field(l.first);
    io.Field(l.last);
  });
  io.Field(s.randomSeed);

  io.Field(s.currentPage);
  io.Field(s.pageAction);
  io.Field(s.pageParam);
  io.Field(s.fastScript);
  io.Each(s.actions, 9, [&](Action& a) {
    io.Field(a.script);
    io.Field(a.lines);
    io.Field(a.enabled);
  });
  io.Field(s.caption);
  io.Field(s.left);
  io.Field(s.top);
  io.Field(s.width);
  io.Field(s.height);
  io.Field(s.storyLines);
  PictureFields(io, s.picture);
  io.Field(s.choiceItems);
  io.Field(s.selectedChoice);

  for (TimerImage& t : s.timers) {
    io.Field(t.interval);
    io.Field(t.enabled);
    io.Field(t.timeLeft);
  }
  io.Field(s.music.state);
  io.Field(s.music.file);
  io.Field(s.music.positionMs);
  io.Field(s.music.volume);
  io.Field(s.music.balance);
  io.Field(s.music.nextTrackName);
  io.Field(s.music.musicPlaying);
  io.Field(s.soundDeviceOpen);
  io.Field(s.soundFile);

  io.Field(s.audioVisible);
  io.Field(s.audioVolume);
  io.Field(s.audioBalance);
  io.Field(s.inventoryVisible);
  io.Field(s.inventoryLeft);
  io.Field(s.inventoryTop);
  io.Field(s.inventoryEntries);
  io.Field(s.inventorySelectedEntry);
  io.Field(s.inventorySelectedItem);
  PictureFields(io, s.inventoryPicture);
  io.Field(s.inventoryItemName);
  io.Field(s.inventoryItemCount);
  io.Field(s.inventoryDescription);
  io.Field(s.inventoryUseEnabled);
  io.Field(s.inventoryWearEnabled);
  io.Field(s.inventoryWearTakesOff);

  io.Each(s.files, 6, [&](FileImage& f) { io.Field(f); });

  // Version 2 on: the story so far. Older saves load with none.
  if (version < 2) return;
  io.Each(s.history, 12, [&](PageRead& p) {
    io.Field(p.page);
    io.Field(p.lines);
    io.Field(p.choice);
  });
}

// The body's length: counted first, so that it can lead the packed body, and so that a
// body made whole is made in one piece, not in doublings that each copy it.
uint64_t BodySize(const Snapshot& s, uint32_t version) {
  Writer count;
  count.counting = true;
  BodyFields(count, const_cast<Snapshot&>(s), version);  // the writer only reads
  return count.counted;
}

#ifdef __EMSCRIPTEN__
std::string EncodeBody(const Snapshot& s, uint32_t version) {
  const uint64_t size = BodySize(s, version);
  Writer w;
  // Where size_t has 32 bits a count past it cannot be held; the appends then fail as before.
  if (size <= w.out.max_size()) w.out.reserve(static_cast<size_t>(size));
  BodyFields(w, const_cast<Snapshot&>(s), version);
  return std::move(w.out);
}
#else
// Packs what it is given onto the end of `out` as it comes, keeping the CRC-32 of the
// packed bytes: the body is never held whole, only the files it shares with the run.
class DeflateSink final : public Sink {
 public:
  explicit DeflateSink(std::string& out) : out_(out) {
    if (deflateInit(&stream_, kCompressionLevel) != Z_OK) throw std::bad_alloc();
  }
  ~DeflateSink() { deflateEnd(&stream_); }
  DeflateSink(const DeflateSink&) = delete;
  DeflateSink& operator=(const DeflateSink&) = delete;

  void Take(const char* data, size_t size) override {
    while (size > 0) {
      const auto n = static_cast<uInt>(std::min<size_t>(size, std::numeric_limits<uInt>::max()));
      Pump(data, n, Z_NO_FLUSH);
      data += n;
      size -= n;
    }
  }
  void Finish() { Pump(nullptr, 0, Z_FINISH); }
  uint32_t Crc() const { return static_cast<uint32_t>(crc_); }

 private:
  void Pump(const char* data, uInt size, int flush) {
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream_.avail_in = size;
    char chunk[64 * 1024];
    int status = Z_OK;
    do {
      stream_.next_out = reinterpret_cast<Bytef*>(chunk);
      stream_.avail_out = sizeof chunk;
      status = deflate(&stream_, flush);
      if (status == Z_STREAM_ERROR) throw std::bad_alloc();
      const uInt produced = static_cast<uInt>(sizeof chunk - stream_.avail_out);
      crc_ = crc32(crc_, reinterpret_cast<const Bytef*>(chunk), produced);
      out_.append(chunk, produced);
    } while (stream_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
  }

  std::string& out_;
  z_stream stream_{};
  uLong crc_ = crc32(0L, Z_NULL, 0);
};
#endif

std::shared_ptr<Snapshot> DecodeBody(Reader& r, uint32_t version) {
  auto s = std::make_shared<Snapshot>();
  BodyFields(r, *s, version);
  if (s->vars.intRecords.size() % sizeof(TIntVar) != 0 || s->vars.strRecords.size() % sizeof(TStrVar) != 0)
    throw Damaged{};
  if (!r.AtEnd()) throw Damaged{};
  return s;
}

// The header's length, its CRC-32 and the header itself.
void AppendHeader(std::string& out, const SaveHeader& h) {
  Writer head;
  head.Text(h.gameId);
  head.Text(h.name);
  head.Text(h.pageCaption);
  head.I64(h.savedAt);
  head.I64(h.playedMs);
  head.Text(h.thumbnailPng);
  Writer w;
  w.U32(static_cast<uint32_t>(head.out.size()));
  w.U32(Crc(head.out));
  out.append(w.out).append(head.out);
}

// Reads magic, version and header; leaves the reader at the body.
SaveReadResult ReadHeader(Reader& r) {
  SaveReadResult result;
  if (r.Left() < sizeof kMagic || std::memcmp(r.Take(sizeof kMagic), kMagic, sizeof kMagic) != 0) {
    result.status = SaveReadStatus::kNotASave;
    return result;
  }
  try {
    const uint32_t version = r.U32();
    result.version = version;
    if (version > kSaveFormatVersion) {
      result.status = SaveReadStatus::kNewer;
      return result;
    }
    if (version == 0) throw Damaged{};
    const uint32_t length = r.U32();
    const uint32_t crc = r.U32();
    const char* bytes = r.Take(length);
    if (Crc(bytes, length) != crc) throw Damaged{};
    Reader h(bytes, length);
    result.header.gameId = h.Text();
    result.header.name = h.Text();
    result.header.pageCaption = h.Text();
    result.header.savedAt = h.I64();
    result.header.playedMs = h.I64();
    result.header.thumbnailPng = h.Text();
    if (!h.AtEnd()) throw Damaged{};
  } catch (const Damaged&) {
    result.status = SaveReadStatus::kDamaged;
  }
  return result;
}

}  // namespace

std::string EncodeSave(const SaveHeader& header, const Snapshot& snapshot, uint32_t version) {
  Writer w;
#ifdef __EMSCRIPTEN__
  // The browser's zlib stand-in packs in one call only.
  const std::string body = EncodeBody(snapshot, version);
  uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
  const std::unique_ptr<char[]> packed(new char[packedSize]);
  if (compress2(reinterpret_cast<Bytef*>(packed.get()), &packedSize, reinterpret_cast<const Bytef*>(body.data()),
                static_cast<uLong>(body.size()), kCompressionLevel) != Z_OK)
    throw std::bad_alloc();
  w.out.reserve(64 + header.thumbnailPng.size() + packedSize);
  w.out.append(kMagic, sizeof kMagic);
  w.U32(version);
  AppendHeader(w.out, header);
  w.U64(body.size());
  w.U32(Crc(packed.get(), packedSize));
  w.out.append(packed.get(), packedSize);
  return std::move(w.out);
#else
  const uint64_t bodySize = BodySize(snapshot, version);
  std::string out;
  // Room for the packed body at its worst, in one piece instead of in doublings that
  // each copy it; pages never written cost nothing.
  out.reserve(64 + header.thumbnailPng.size() + deflateBound(nullptr, static_cast<uLong>(bodySize)));
  out.append(kMagic, sizeof kMagic);
  w.U32(version);
  out.append(w.out);
  AppendHeader(out, header);
  w.out.clear();
  w.U64(bodySize);
  w.U32(0);  // the packed body's CRC-32, known once it is packed
  out.append(w.out);
  const size_t crcAt = out.size() - 4;
  w.out.clear();
  DeflateSink packer(out);
  w.sink = &packer;
  BodyFields(w, const_cast<Snapshot&>(snapshot), version);  // the writer only reads
  w.Flush();
  packer.Finish();
  const uint32_t crc = packer.Crc();
  for (int i = 0; i < 4; ++i) out[crcAt + i] = static_cast<char>(crc >> (8 * i));
  return out;
#endif
}

namespace {

#ifdef __EMSCRIPTEN__
// Unpacks a body that says it is bodySize bytes (already held to the save's bound). The
// browser's zlib stand-in unpacks in one call, into the claimed length: one byte more
// tells a body longer than its claim.
std::string Inflate(const char* packed, size_t packedSize, uint64_t bodySize) {
  std::string body(static_cast<size_t>(bodySize) + 1, '\0');
  uLongf unpacked = static_cast<uLongf>(body.size());
  if (uncompress(reinterpret_cast<Bytef*>(body.data()), &unpacked, reinterpret_cast<const Bytef*>(packed),
                 static_cast<uLong>(packedSize)) != Z_OK ||
      unpacked != bodySize)
    throw Damaged{};
  body.resize(unpacked);
  return body;
}
#else
// Unpacks a body that says it is bodySize bytes as its reader asks for it, and stops as
// soon as it passes the claim.
class InflateSource final : public Source {
 public:
  InflateSource(const char* packed, size_t packedSize, uint64_t bodySize)
      : packed_(packed), packedLeft_(packedSize), unread_(bodySize) {
    if (inflateInit(&stream_) != Z_OK) throw Damaged{};
  }
  ~InflateSource() { inflateEnd(&stream_); }
  InflateSource(const InflateSource&) = delete;
  InflateSource& operator=(const InflateSource&) = delete;

  size_t Read(char* to, size_t room) override {
    if (ended_ || room == 0) return 0;
    // One byte past the claim is enough to tell a body longer than it.
    room = static_cast<size_t>(std::min<uint64_t>({room, unread_ + 1, std::numeric_limits<uInt>::max()}));
    stream_.next_out = reinterpret_cast<Bytef*>(to);
    stream_.avail_out = static_cast<uInt>(room);
    for (;;) {
      if (stream_.avail_in == 0 && packedLeft_ > 0) {
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed_));
        stream_.avail_in = static_cast<uInt>(std::min<size_t>(packedLeft_, std::numeric_limits<uInt>::max()));
        packed_ += stream_.avail_in;
        packedLeft_ -= stream_.avail_in;
      }
      const int status = inflate(&stream_, Z_NO_FLUSH);
      const size_t produced = room - stream_.avail_out;
      if (status == Z_STREAM_END) ended_ = true;
      else if (status != Z_OK) throw Damaged{};  // damaged, or the packed bytes end early
      if (produced > unread_) throw Damaged{};
      if (produced > 0 || ended_) {
        unread_ -= produced;
        return produced;
      }
    }
  }
  uint64_t Unread() const override { return unread_; }

 private:
  z_stream stream_{};
  const char* packed_;
  size_t packedLeft_;
  uint64_t unread_;
  bool ended_ = false;
};
#endif

}  // namespace

SaveReadResult DecodeSaveHeader(const std::string& bytes) {
  Reader r(bytes.data(), bytes.size());
  return ReadHeader(r);
}

SaveReadResult DecodeSave(const std::string& bytes, const std::string& gameId, FileImages& files) {
  Reader r(bytes.data(), bytes.size());
  SaveReadResult result = ReadHeader(r);
  if (result.status != SaveReadStatus::kOk) return result;
  try {
    const uint64_t bodySize = r.U64();
    const uint32_t crc = r.U32();
    const size_t packedSize = r.Left();
    const char* packed = r.Take(packedSize);
    if (Crc(packed, packedSize) != crc) throw Damaged{};
    // The game is checked only on a whole file: a damaged one says so first.
    if (result.header.gameId != gameId) {
      result.status = SaveReadStatus::kForeign;
      return result;
    }
    // No real save unpacks to more than a thousand times its packed size; a damaged
    // length must not make us ask for gigabytes.
    if (bodySize > static_cast<uint64_t>(packedSize) * 1032 + 1024) throw Damaged{};
    // Nor more than its game files at their largest and the run's state besides.
    if (bodySize > uint64_t{kGameFileRoles} * IniDocument::kMaxFileSize + kMaxStateBytes) throw Damaged{};
#ifdef __EMSCRIPTEN__
    const std::string body = Inflate(packed, packedSize, bodySize);
    Reader b(body.data(), body.size());
#else
    // Never held whole: the fields are made as the body unpacks.
    InflateSource source(packed, packedSize, bodySize);
    Reader b(source);
#endif
    b.files_ = &files;
    result.snapshot = DecodeBody(b, result.version);
  } catch (const Damaged&) {
    result.status = SaveReadStatus::kDamaged;
    result.snapshot.reset();
  }
  return result;
}

std::optional<std::string> RenameSave(const std::string& bytes, const std::string& name) {
  Reader r(bytes.data(), bytes.size());
  SaveReadResult old = ReadHeader(r);
  if (old.status != SaveReadStatus::kOk) return std::nullopt;
  const size_t bodyAt = bytes.size() - r.Left();
  old.header.name = name;
  std::string out = bytes.substr(0, sizeof kMagic + 4);  // the same version: the body is unchanged
  AppendHeader(out, old.header);
  out.append(bytes, bodyAt);
  return out;
}

std::string DescribeRefusal(SaveReadStatus status) {
  switch (status) {
    case SaveReadStatus::kOk:
      return "";
    case SaveReadStatus::kNotASave:
      return "the file is not a saved game";
    case SaveReadStatus::kNewer:
      return "the save was made by a newer version of the player";
    case SaveReadStatus::kDamaged:
      return "the save is damaged";
    case SaveReadStatus::kForeign:
      return "the save belongs to another game";
  }
  return "";
}

}  // namespace velmora
