#include "base/visible_text.h"

#include <cstdint>
#include <cstdio>

namespace velmora {

namespace {

void AppendEscape(std::string& out, unsigned char c) {
  if (c == '\n') {
    out += "\\n";
  } else if (c == '\r') {
    out += "\\r";
  } else {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    out += hex;
  }
}

bool IsControl(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

// The length of the well-formed UTF-8 sequence at s[i], 0 when there is none.
size_t SequenceLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  size_t n;
  uint32_t min;
  if (c >= 0xC2 && c <= 0xDF) n = 2, min = 0x80;
  else if (c >= 0xE0 && c <= 0xEF) n = 3, min = 0x800;
  else if (c >= 0xF0 && c <= 0xF4) n = 4, min = 0x10000;
  else return 0;
  if (i + n > s.size()) return 0;
  uint32_t cp = c & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

std::string EscapeControls(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsControl(c)) AppendEscape(out, c);
    else out += ch;
  }
  return out;
}

std::string VisibleUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      if (IsControl(c)) AppendEscape(out, c);
      else out += utf8[i];
      ++i;
      continue;
    }
    const size_t n = SequenceLength(utf8, i);
    if (n == 0) {
      AppendEscape(out, c);
      ++i;
    } else if (n == 2 && c == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
      char hex[12];
      std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned char>(utf8[i + 1]) & 0xFF);
      out += hex;
      i += 2;
    } else {
      out.append(utf8.substr(i, n));
      i += n;
    }
  }
  return out;
}

}  // namespace velmora
