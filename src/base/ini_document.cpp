#include "base/ini_document.h"

#include <array>
#include <climits>
#include <cstring>

#include "base/codepage.h"
#include "base/fault.h"
#include "base/int_text.h"

namespace velmora {

namespace {

// The identity of a regular file; a path that leads to anything else counts as missing.
FileIdentity IdentityOfFile(GameFiles& files, const std::string& path) {
  FileIdentity id = files.Identity(path);
  return id.regular ? id : FileIdentity{};
}

constexpr std::array<unsigned char, 256> kLower = [] {
  std::array<unsigned char, 256> t {};
  for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return t;
}();

uint32_t HashNoCase(std::string_view s, uint64_t seed) {
  uint64_t h = 0xcbf29ce484222325ull ^ (seed * 0x9E3779B97F4A7C15ull);
  for (unsigned char c : s) {
    h ^= kLower[c];
    h *= 0x100000001b3ull;
  }
  return static_cast<uint32_t>(h ^ (h >> 29));
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (kLower[static_cast<unsigned char>(a[i])] != kLower[static_cast<unsigned char>(b[i])]) return false;
  return true;
}

std::string LowerCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(kLower[static_cast<unsigned char>(c)]);
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// One line of the text: [begin, end) without its line end; next is where the following
// line starts; trimmed is its text without blanks at either end.
struct Line {
  size_t begin, end, next;
  std::string_view trimmed;
};

// The lines of a text that hold more than blanks. Lines end at CR LF, LF or CR. A UTF-8
// byte-order mark, which editors put before the first section, is no part of a line.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
  }
  bool Next(Line& line) {
    while (pos_ < text_.size()) {
      line = Cut(pos_);
      pos_ = line.next;
      line.trimmed = Trim(text_.substr(line.begin, line.end - line.begin));
      if (!line.trimmed.empty()) return true;
    }
    return false;
  }

 private:
  Line Cut(size_t pos) const {
    const char* base = text_.data();
    const size_t size = text_.size();
    const void* lf = std::memchr(base + pos, '\n', size - pos);
    const size_t nl = lf ? static_cast<size_t>(static_cast<const char*>(lf) - base) : size;
    if (const void* crp = std::memchr(base + pos, '\r', nl - pos)) {
      const size_t cr = static_cast<size_t>(static_cast<const char*>(crp) - base);
      return {pos, cr, cr + 1 < size && base[cr + 1] == '\n' ? cr + 2 : cr + 1, {}};
    }
    return {pos, nl, nl < size ? nl + 1 : size, {}};
  }
  std::string_view text_;
  size_t pos_ = 0;
};

// The name of a section header line (already trimmed, starting with '[').
std::string_view HeaderName(std::string_view t) {
  size_t close = t.find(']');
  return Trim(t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1));
}

// The key name of a trimmed key line; false when the line holds no "=".
bool KeyOfLine(std::string_view t, std::string_view& key, size_t& eq) {
  const void* e = std::memchr(t.data(), '=', t.size());
  if (!e) return false;
  eq = static_cast<size_t>(static_cast<const char*>(e) - t.data());
  key = Trim(t.substr(0, eq));
  return true;
}

// Open addressing from hash to section index; the hash is kept in the slot so that
// probes rarely touch the sections.
class SectionIndex {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  template <class Match>
  uint32_t Find(uint32_t hash, Match match) const {
    if (slots_.empty()) return kNone;
    for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.index == kNone) return kNone;
      if (s.hash == hash && match(s.index)) return s.index;
    }
  }
  // Adds an index known to be absent.
  void Add(uint32_t hash, uint32_t index) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Place(hash, index);
    ++count_;
  }

 private:
  struct Slot {
    uint32_t hash = 0;
    uint32_t index = kNone;
  };
  void Place(uint32_t hash, uint32_t index) {
    size_t i = hash & mask_;
    while (slots_[i].index != kNone) i = (i + 1) & mask_;
    slots_[i] = {hash, index};
  }
  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot {});
    mask_ = slots_.size() - 1;
    for (const Slot& s : old)
      if (s.index != kNone) Place(s.hash, s.index);
  }
  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t count_ = 0;
};

// Every key of every section in one open-addressing table whose slots hold the key and
// its value themselves: a read touches one slot and the line in the file's bytes, which
// keeps reads of a large story file as quick as those of a small one.
class KeyTable {
 public:
  static constexpr uint32_t kEmpty = UINT32_MAX;
  struct Slot {
    uint32_t hash = 0;
    uint32_t section = kEmpty;
    uint32_t keyLength = 0, valueLength = 0;
    const char* key = nullptr;
    const char* value = nullptr;
    std::string_view Key() const { return {key, keyLength}; }
    std::string_view Value() const { return {value, valueLength}; }
  };

  static uint32_t Hash(std::string_view key, uint32_t section) { return HashNoCase(key, section + 1); }

  const Slot* Find(uint32_t section, std::string_view key, uint32_t hash) const {
    if (slots_.empty()) return nullptr;
    for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.section == kEmpty) return nullptr;
      if (s.hash == hash && s.section == section && EqualNoCase(s.Key(), key)) return &s;
    }
  }
  // Adds a key known to be absent from its section.
  void Add(const Slot& slot) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Place(slot);
    ++count_;
  }

 private:
  void Place(const Slot& slot) {
    size_t i = slot.hash & mask_;
    while (slots_[i].section != kEmpty) i = (i + 1) & mask_;
    slots_[i] = slot;
  }
  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 256 : old.size() * 2, Slot {});
    mask_ = slots_.size() - 1;
    for (const Slot& s : old)
      if (s.section != kEmpty) Place(s);
  }
  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t count_ = 0;
};

}  // namespace

// The file's bytes and, pointing into them, the first block of every section and the
// first occurrence of every key in it.
struct IniDocument::Parsed {
  FileIdentity id;
  int64_t readAtNs = 0;  // real time just before the bytes were read
  bool unreadable = false;  // the file exists but could not be read: reads give defaults
  bool tooLarge = false;    // ... because it is past the bound
  // Shared with whoever handed the bytes over (a save's image of the file), not copied.
  std::shared_ptr<const std::string> bytes;
  std::string_view content;

  void Hold(std::shared_ptr<const std::string> text) {
    bytes = std::move(text);
    content = *bytes;
  }

  struct Section {
    std::string name;  // a copy, so that finding a section stays within this small table
    uint32_t hash = 0;
    uint32_t keyCount = 0;
    size_t blockBegin = 0, blockEnd = 0;  // the first block's lines in content
  };
  std::vector<Section> sections;
  SectionIndex sectionIndex;
  KeyTable keys;

  void Parse();
  uint32_t FindSection(std::string_view name) const {
    return sectionIndex.Find(HashNoCase(name, 0), [&](uint32_t i) { return EqualNoCase(sections[i].name, name); });
  }
  const KeyTable::Slot* Find(std::string_view section, std::string_view key) const {
    const uint32_t s = FindSection(section);
    return s == SectionIndex::kNone ? nullptr : keys.Find(s, key, KeyTable::Hash(key, s));
  }

  // Until the file's timestamp granularity has passed, reads compare the bytes too.
  bool Racy() const { return id.exists && MayChangeUnseen(id.mtimeNs, readAtNs); }
};

void IniDocument::Parsed::Parse() {
  uint32_t open = SectionIndex::kNone;  // the section whose first block we are in
  LineReader lines(content);
  for (Line line; lines.Next(line);) {
    const std::string_view t = line.trimmed;
    if (t.front() == '[') {
      if (open != SectionIndex::kNone) sections[open].blockEnd = line.begin;
      const std::string_view name = HeaderName(t);
      open = FindSection(name) == SectionIndex::kNone ? static_cast<uint32_t>(sections.size()) : SectionIndex::kNone;
      if (open != SectionIndex::kNone) {
        const uint32_t hash = HashNoCase(name, 0);
        sections.push_back({std::string(name), hash, 0, line.next, content.size()});
        sectionIndex.Add(hash, open);
      }
      continue;
    }
    if (open == SectionIndex::kNone) continue;  // before any section, or a later block of one
    std::string_view key;
    size_t eq;
    if (!KeyOfLine(t, key, eq) || key.size() > UINT32_MAX) continue;
    const uint32_t hash = KeyTable::Hash(key, open);
    if (keys.Find(open, key, hash)) continue;
    std::string_view value = Trim(t.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    if (value.size() > kMaxValueLength) value = value.substr(0, kMaxValueLength);
    keys.Add({hash, open, static_cast<uint32_t>(key.size()), static_cast<uint32_t>(value.size()), key.data(),
              value.data()});
    ++sections[open].keyCount;
  }
}

IniDocument::IniDocument(GameFiles& files, std::string path, size_t maxBytes)
    : files_(&files), path_(std::move(path)), maxBytes_(maxBytes) {}

bool IniDocument::TooLarge() const { return Current().tooLarge; }
IniDocument::~IniDocument() = default;

const IniDocument::Parsed& IniDocument::Current() const {
  const FileIdentity id = IdentityOfFile(*files_, path_);
  if (cache_ && cache_->id == id && !cache_->Racy()) return *cache_;
  auto fresh = std::make_unique<Parsed>();
  fresh->readAtNs = files_->FileTimeNowNs();
  if (id.exists) {
    FileRead read = files_->Read(path_, maxBytes_);
    if (read.ok()) {
      fresh->Hold(std::make_shared<const std::string>(std::move(read.bytes)));
      fresh->id = read.identity;
    } else {
      fresh->unreadable = true;
      fresh->tooLarge = read.status == FileRead::Status::kTooLarge;
    }
  }
  if (cache_ && cache_->id == fresh->id && cache_->content == fresh->content) {
    cache_->readAtNs = fresh->readAtNs;  // the same bytes: keep the parse
    return *cache_;
  }
  fresh->Parse();
  cache_ = std::move(fresh);
  return *cache_;
}

std::string IniDocument::ReadText(std::string_view section, std::string_view key, std::string_view def) const {
  const KeyTable::Slot* k = Current().Find(section, key);
  return std::string(k ? k->Value() : def);
}

int32_t IniDocument::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const KeyTable::Slot* k = Current().Find(section, key);
  return k ? ParseInt32(k->Value()).value_or(def) : def;
}

bool IniDocument::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniDocument::SectionPresent(std::string_view section) const {
  const Parsed& p = Current();
  const uint32_t s = p.FindSection(section);
  return s != SectionIndex::kNone && p.sections[s].keyCount > 0;
}

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const auto& section : Current().sections)
    if (section.keyCount > 0) names.push_back(LowerCopy(section.name));
  return names;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const {
  const Parsed& p = Current();
  std::vector<std::string> names;
  const uint32_t s = p.FindSection(section);
  if (s == SectionIndex::kNone) return names;
  const Parsed::Section& sec = p.sections[s];
  // The block's key lines again, each counted where the table holds its first occurrence.
  LineReader lines(std::string_view(p.content).substr(sec.blockBegin, sec.blockEnd - sec.blockBegin));
  for (Line line; lines.Next(line);) {
    std::string_view key;
    size_t eq;
    if (!KeyOfLine(line.trimmed, key, eq)) continue;
    const KeyTable::Slot* k = p.keys.Find(s, key, KeyTable::Hash(key, s));
    if (k && k->key == key.data()) names.push_back(LowerCopy(key));
  }
  return names;
}

bool IniDocument::HoldsUtf8Text() const {
  const std::string_view content = Current().content;
  return TextCodec::HasHighBytes(content) && TextCodec::IsValidUtf8(content);
}

void IniDocument::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteText(section, key, std::to_string(value));
}

void IniDocument::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteText(section, key, value ? "1" : "0");
}

void IniDocument::WriteText(std::string_view section, std::string_view key, std::string_view value) {
  // A line break would write lines of the caller's making (a page name from a script can
  // hold one); a NUL byte cuts the line for other readers. Refused before anything is written.
  constexpr std::string_view kUnwritable("\r\n\0", 3);
  for (std::string_view part : {section, key, value})
    if (part.find_first_of(kUnwritable) != std::string_view::npos) throw RuntimeFault("Unable to write to " + path_);
  const Parsed& current = Current();
  // Rewriting a file we could not read would lose everything in it.
  if (current.unreadable) throw RuntimeFault("Unable to write to " + path_);
  const std::string_view text = current.content;
  // Lines written anew follow the file's own line ends; other files get the Windows ones.
  const bool lfFile = text.find('\n') != std::string_view::npos && text.find("\r\n") == std::string_view::npos;
  const std::string_view eol = lfFile ? "\n" : "\r\n";
  std::string keyLine(key);
  keyLine.append("=").append(value);

  // Find the key in the first block of its section, or where that block's last line ends.
  bool inTarget = false, sectionFound = false;
  size_t insertAt = text.size();
  LineReader lines(text);
  for (Line line; lines.Next(line);) {
    const std::string_view t = line.trimmed;
    if (t.front() == '[') {
      if (inTarget) break;
      if (!sectionFound && EqualNoCase(HeaderName(t), section)) {
        inTarget = sectionFound = true;
        insertAt = line.next;
      }
      continue;
    }
    if (!inTarget) continue;
    insertAt = line.next;
    std::string_view name;
    size_t eq;
    if (KeyOfLine(t, name, eq) && EqualNoCase(name, key)) {
      std::string out;
      out.reserve(text.size() + keyLine.size());
      out.append(text.substr(0, line.begin)).append(keyLine).append(text.substr(line.end));
      Replace(std::make_shared<const std::string>(std::move(out)));
      return;
    }
  }
  std::string out;
  out.reserve(text.size() + keyLine.size() + section.size() + 8);
  out.append(text.substr(0, insertAt));
  if (!out.empty() && out.back() != '\n' && out.back() != '\r') out.append(eol);
  if (!sectionFound) out.append("[").append(section).append("]").append(eol);
  out.append(keyLine).append(eol);
  out.append(text.substr(insertAt));
  Replace(std::make_shared<const std::string>(std::move(out)));
}

void IniDocument::ReplaceContent(std::string_view text) { Replace(std::make_shared<const std::string>(text)); }

void IniDocument::ReplaceContent(std::shared_ptr<const std::string> text) { Replace(std::move(text)); }

void IniDocument::Replace(std::shared_ptr<const std::string> out) {
  const int64_t writtenAt = files_->FileTimeNowNs();
  const bool written = files_->Replace(path_, *out);
  // The old parse is stale either way; dropped before the new one is made, so that a large
  // file is not held twice.
  cache_.reset();
  if (!written) throw RuntimeFault("Unable to write to " + path_);
  // What we wrote is the file now: keep it parsed instead of reading it back.
  auto fresh = std::make_unique<Parsed>();
  fresh->id = IdentityOfFile(*files_, path_);
  fresh->readAtNs = writtenAt;
  fresh->Hold(std::move(out));
  fresh->Parse();
  cache_ = std::move(fresh);
}

}  // namespace velmora
