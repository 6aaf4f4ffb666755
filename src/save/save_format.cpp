#include "save/save_format.h"

#include <zlib.h>

#include <cstring>
#include <limits>

namespace velmora {

namespace {

constexpr char kMagic[8] = {'V', 'E', 'L', 'M', 'S', 'A', 'V', 'E'};
// Packing speed matters more than size: a save must take no noticeable time, even with a
// story file of several megabytes.
constexpr int kCompressionLevel = 1;

class Writer {
 public:
  std::string out;
  void U8(uint8_t v) { out.push_back(static_cast<char>(v)); }
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
    out.append(s);
  }
  void Lines(const std::vector<std::string>& lines) {
    U32(static_cast<uint32_t>(lines.size()));
    for (const std::string& l : lines) Text(l);
  }
  void OptionalF32(const std::optional<float>& v) {
    Bool(v.has_value());
    F32(v.value_or(0.0f));
  }
};

struct Damaged {};

class Reader {
 public:
  Reader(const char* data, size_t size) : p_(data), end_(data + size) {}
  size_t Left() const { return static_cast<size_t>(end_ - p_); }
  const char* Take(size_t n) {
    if (n > Left()) throw Damaged{};
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
  std::string Text() {
    const uint32_t n = U32();
    return std::string(Take(n), n);
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
  bool AtEnd() const { return p_ == end_; }

 private:
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

void WritePicture(Writer& w, const PictureImage& p) {
  w.Bool(p.shown);
  w.Text(p.file);
}

PictureImage ReadPicture(Reader& r) {
  PictureImage p;
  p.shown = r.Bool();
  p.file = r.Text();
  return p;
}

std::string EncodeBody(const Snapshot& s) {
  Writer w;
  w.Text(s.vars.intRecords);
  w.Text(s.vars.strRecords);
  w.U32(static_cast<uint32_t>(s.vars.intSet.size()));
  for (int32_t v : s.vars.intSet) w.I32(v);
  w.Lines(s.vars.strSet);

  w.U32(static_cast<uint32_t>(s.items.size()));
  for (const ItemFields& f : s.items) {
    w.Text(f.name);
    w.Text(f.displayName);
    w.Text(f.picture);
    w.I32(f.count);
    w.I32(f.maxCount);
    w.Bool(f.enabled);
    w.Text(f.script);
    w.I32(f.linesCount);
    w.Bool(f.canEquip);
    w.Bool(f.isEquipped);
    w.Text(f.equipScript);
    w.Text(f.unEquipScript);
    w.Lines(f.lines);
  }
  w.U32(static_cast<uint32_t>(s.labels.size()));
  for (const ScriptLabel& l : s.labels) {
    w.Text(l.name);
    w.I32(l.first);
    w.I32(l.last);
  }
  w.U32(s.randomSeed);

  w.Text(s.currentPage);
  w.Text(s.pageAction);
  w.Text(s.pageParam);
  w.Text(s.fastScript);
  w.U32(static_cast<uint32_t>(s.actions.size()));
  for (const Action& a : s.actions) {
    w.Text(a.script);
    w.Lines(a.lines);
    w.Bool(a.enabled);
  }
  w.Text(s.caption);
  w.I32(s.left);
  w.I32(s.top);
  w.I32(s.width);
  w.I32(s.height);
  w.Lines(s.storyLines);
  WritePicture(w, s.picture);
  w.Lines(s.choiceItems);
  w.I32(s.selectedChoice);

  for (const TimerImage& t : s.timers) {
    w.U32(t.interval);
    w.Bool(t.enabled);
    w.I64(t.timeLeft);
  }
  w.U32(s.music.state);
  w.Text(s.music.file);
  w.I64(s.music.positionMs);
  w.OptionalF32(s.music.volume);
  w.OptionalF32(s.music.balance);
  w.Text(s.music.nextTrackName);
  w.Bool(s.music.musicPlaying);
  w.Bool(s.soundDeviceOpen);
  w.Text(s.soundFile);

  w.Bool(s.audioVisible);
  w.I32(s.audioVolume);
  w.I32(s.audioBalance);
  w.Bool(s.inventoryVisible);
  w.I32(s.inventoryLeft);
  w.I32(s.inventoryTop);
  w.Lines(s.inventoryEntries);
  w.I32(s.inventorySelectedEntry);
  w.I32(s.inventorySelectedItem);
  WritePicture(w, s.inventoryPicture);
  w.Text(s.inventoryItemName);
  w.Text(s.inventoryItemCount);
  w.Lines(s.inventoryDescription);
  w.Bool(s.inventoryUseEnabled);
  w.Bool(s.inventoryWearEnabled);
  w.Bool(s.inventoryWearTakesOff);

  w.U32(static_cast<uint32_t>(s.files.size()));
  for (const FileImage& f : s.files) {
    w.U8(static_cast<uint8_t>(f.role));
    w.Bool(f.present);
    w.Text(f.present ? *f.bytes : std::string());
  }
  return std::move(w.out);
}

std::shared_ptr<Snapshot> DecodeBody(Reader& r, GameFiles& files) {
  auto s = std::make_shared<Snapshot>();
  s->vars.intRecords = r.Text();
  s->vars.strRecords = r.Text();
  if (s->vars.intRecords.size() % sizeof(TIntVar) != 0 || s->vars.strRecords.size() % sizeof(TStrVar) != 0)
    throw Damaged{};
  s->vars.intSet.resize(r.Count(4));
  for (int32_t& v : s->vars.intSet) v = r.I32();
  s->vars.strSet = r.Lines();

  s->items.resize(r.Count(40));
  for (ItemFields& f : s->items) {
    f.name = r.Text();
    f.displayName = r.Text();
    f.picture = r.Text();
    f.count = r.I32();
    f.maxCount = r.I32();
    f.enabled = r.Bool();
    f.script = r.Text();
    f.linesCount = r.I32();
    f.canEquip = r.Bool();
    f.isEquipped = r.Bool();
    f.equipScript = r.Text();
    f.unEquipScript = r.Text();
    f.lines = r.Lines();
  }
  s->labels.resize(r.Count(12));
  for (ScriptLabel& l : s->labels) {
    l.name = r.Text();
    l.first = r.I32();
    l.last = r.I32();
  }
  s->randomSeed = r.U32();

  s->currentPage = r.Text();
  s->pageAction = r.Text();
  s->pageParam = r.Text();
  s->fastScript = r.Text();
  s->actions.resize(r.Count(9));
  for (Action& a : s->actions) {
    a.script = r.Text();
    a.lines = r.Lines();
    a.enabled = r.Bool();
  }
  s->caption = r.Text();
  s->left = r.I32();
  s->top = r.I32();
  s->width = r.I32();
  s->height = r.I32();
  s->storyLines = r.Lines();
  s->picture = ReadPicture(r);
  s->choiceItems = r.Lines();
  s->selectedChoice = r.I32();

  for (TimerImage& t : s->timers) {
    t.interval = r.U32();
    t.enabled = r.Bool();
    t.timeLeft = r.I64();
  }
  s->music.state = r.U32();
  s->music.file = r.Text();
  s->music.positionMs = r.I64();
  s->music.volume = r.OptionalF32();
  s->music.balance = r.OptionalF32();
  s->music.nextTrackName = r.Text();
  s->music.musicPlaying = r.Bool();
  s->soundDeviceOpen = r.Bool();
  s->soundFile = r.Text();

  s->audioVisible = r.Bool();
  s->audioVolume = r.I32();
  s->audioBalance = r.I32();
  s->inventoryVisible = r.Bool();
  s->inventoryLeft = r.I32();
  s->inventoryTop = r.I32();
  s->inventoryEntries = r.Lines();
  s->inventorySelectedEntry = r.I32();
  s->inventorySelectedItem = r.I32();
  s->inventoryPicture = ReadPicture(r);
  s->inventoryItemName = r.Text();
  s->inventoryItemCount = r.Text();
  s->inventoryDescription = r.Lines();
  s->inventoryUseEnabled = r.Bool();
  s->inventoryWearEnabled = r.Bool();
  s->inventoryWearTakesOff = r.Bool();

  const uint32_t fileCount = r.Count(6);
  for (uint32_t i = 0; i < fileCount; ++i) {
    FileImage f;
    const uint8_t role = r.U8();
    if (role >= kGameFileRoles) throw Damaged{};
    f.role = static_cast<GameFileRole>(role);
    f.present = r.Bool();
    std::string bytes = r.Text();
    if (f.present) f.bytes = files.Intern(std::move(bytes));
    s->files.push_back(std::move(f));
  }
  if (!r.AtEnd()) throw Damaged{};
  return s;
}

// The header's length, its CRC-32 and the header itself.
void AppendHeader(std::string& out, const SaveHeader& h) {
  Writer head;
  head.Text(h.gameId);
  head.Text(h.name);
  head.Text(h.pageCaption);
  head.I64(static_cast<int64_t>(h.savedAt));
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
    result.header.savedAt = static_cast<std::time_t>(h.I64());
    result.header.playedMs = h.I64();
    result.header.thumbnailPng = h.Text();
    if (!h.AtEnd()) throw Damaged{};
  } catch (const Damaged&) {
    result.status = SaveReadStatus::kDamaged;
  }
  return result;
}

}  // namespace

std::string EncodeSave(const SaveHeader& header, const Snapshot& snapshot) {
  const std::string body = EncodeBody(snapshot);
  uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(body.data()),
                static_cast<uLong>(body.size()), kCompressionLevel) != Z_OK)
    throw std::bad_alloc();
  packed.resize(packedSize);

  Writer w;
  w.out.reserve(64 + header.thumbnailPng.size() + packed.size());
  w.out.append(kMagic, sizeof kMagic);
  w.U32(kSaveFormatVersion);
  AppendHeader(w.out, header);
  w.U64(body.size());
  w.U32(Crc(packed.data(), packed.size()));
  w.out.append(packed);
  return std::move(w.out);
}

SaveReadResult DecodeSaveHeader(const std::string& bytes) {
  Reader r(bytes.data(), bytes.size());
  return ReadHeader(r);
}

SaveReadResult DecodeSave(const std::string& bytes, const std::string& gameId, GameFiles& files) {
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
    std::string body(static_cast<size_t>(bodySize), '\0');
    uLongf unpacked = static_cast<uLongf>(bodySize);
    if (uncompress(reinterpret_cast<Bytef*>(body.data()), &unpacked, reinterpret_cast<const Bytef*>(packed),
                   static_cast<uLong>(packedSize)) != Z_OK ||
        unpacked != bodySize)
      throw Damaged{};
    Reader b(body.data(), body.size());
    result.snapshot = DecodeBody(b, files);
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
