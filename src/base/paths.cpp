// How a game path becomes a path on this system, over whatever GameFiles lists.
#include "base/paths.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "base/platform.h"

namespace velmora {

namespace {

std::string Normalise(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (char c : in) {
    if (c == '\\') c = '/';
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  return out;
}

// Windows-1251 bytes 0x80..0xBF as Unicode; 0xC0..0xFF are U+0410..U+044F in order. 0x98
// has no character and stays itself.
constexpr char16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

// Letter case as a case-insensitive file system sees it: ASCII, and every Cyrillic letter
// that Windows-1251 can hold (the Russian alphabet with Ё, and the other Slavic letters).
char32_t FoldCase(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 0x20;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
  if (c == 0x0490) return 0x0491;
  return c;
}

std::u32string FoldedCp1251(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (unsigned char b : s) {
    char32_t c = b < 0x80 ? b : b < 0xC0 ? kCp1251High[b - 0x80] : 0x0410 + (b - 0xC0);
    out += FoldCase(c);
  }
  return out;
}

// False when s is no UTF-8.
bool FoldedUtf8(std::string_view s, std::u32string& out) {
  out.clear();
  for (size_t i = 0; i < s.size();) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    size_t n;
    char32_t c;
    if (b < 0x80) n = 0, c = b;
    else if (b >= 0xC2 && b < 0xE0) n = 1, c = b & 0x1F;
    else if (b >= 0xE0 && b < 0xF0) n = 2, c = b & 0x0F;
    else if (b >= 0xF0 && b < 0xF5) n = 3, c = b & 0x07;
    else return false;
    if (n > 0 && i + n >= s.size()) return false;
    for (size_t k = 1; k <= n; ++k) {
      const unsigned char cont = static_cast<unsigned char>(s[i + k]);
      if ((cont & 0xC0) != 0x80) return false;
      c = (c << 6) | (cont & 0x3F);
    }
    out += FoldCase(c);
    i += n + 1;
  }
  return true;
}

// A name's case-folded readings: as Windows-1251 bytes, and as UTF-8 when it is valid
// UTF-8 (a name copied from a Windows disk keeps its old bytes; one unpacked here is
// usually UTF-8; game text may be either).
struct FoldedName {
  std::u32string cp1251, utf8;
  bool hasUtf8 = false;
  explicit FoldedName(std::string_view s) : cp1251(FoldedCp1251(s)) {
    bool high = false;
    for (unsigned char b : s) high = high || b >= 0x80;
    hasUtf8 = high && FoldedUtf8(s, utf8);
  }
  bool Matches(const FoldedName& o) const {
    return cp1251 == o.cp1251 || (hasUtf8 && utf8 == o.cp1251) || (o.hasUtf8 && cp1251 == o.utf8) ||
           (hasUtf8 && o.hasUtf8 && utf8 == o.utf8);
  }
};

// The entry of folder that names part without regard to letter case; the smallest name
// in byte order when several do, so the choice does not depend on the folder's order.
bool FindEntry(GameFiles& files, const std::string& folder, const std::string& part, std::string& found) {
  std::vector<FolderEntry> entries;
  if (!files.List(folder.empty() ? "." : folder, entries)) return false;
  const FoldedName want(part);
  bool any = false;
  for (const FolderEntry& e : entries) {
    if ((!any || e.name < found) && FoldedName(e.name).Matches(want)) {
      found = e.name;
      any = true;
    }
  }
  return any;
}

// Walks the path one component at a time, replacing each that does not exist as written
// by the entry that matches it without regard to letter case.
std::string ResolveComponents(GameFiles& files, const std::string& norm) {
  std::string built = norm.front() == '/' ? "/" : "";
  size_t start = built.size();
  while (start < norm.size()) {
    size_t slash = norm.find('/', start);
    const bool last = slash == std::string::npos;
    if (last) slash = norm.size();
    const std::string part = norm.substr(start, slash - start);
    std::string candidate = built + part;
    std::string found;
    if (!files.Exists(candidate) && FindEntry(files, built, part, found)) candidate = built + found;
    built = std::move(candidate);
    if (!last) built += '/';
    start = slash + 1;
  }
  return built;
}

}  // namespace

std::string GameFiles::Resolve(std::string_view gamePath) {
  std::string norm = Normalise(gamePath);
  if (norm.empty() || Exists(norm)) return norm;
  return ResolveComponents(*this, norm);
}

bool GameFiles::FileExists(std::string_view gamePath) {
  const std::string norm = Normalise(gamePath);
  if (norm.empty()) return false;
  const FileIdentity exact = Identity(norm);
  return exact.exists ? exact.regular : Identity(ResolveComponents(*this, norm)).regular;
}

bool GameFiles::PathExists(std::string_view gamePath) { return Exists(Resolve(gamePath)); }

std::string CannotOpenMessage(const std::string& fullPath, int error) {
  // The seam's word for a FIFO, a device or the like, which is never read.
  const std::string reason = error == EINVAL ? "It is not a regular file" : std::strerror(error);
  return "Cannot open file \"" + fullPath + "\". " + reason;
}

std::string GameFileProblem(GameFiles& files, const std::string& gameFolder, const std::string& path,
                            uint64_t maxBytes) {
  std::string root = files.FullPath(Normalise(gameFolder));
  if (root.empty() || root.back() != '/') root += '/';
  const std::string full = files.FullPath(Normalise(path));
  if (full.compare(0, root.size(), root) != 0) return "is outside the game folder";
  const FileIdentity id = files.Identity(path);
  if (id.regular && id.size > maxBytes) return "is too large";
  return {};
}

}  // namespace velmora
