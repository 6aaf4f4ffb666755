#pragma once
// Byte-text helpers shared by every subsystem. Game text is bytes in the game's
// code page; nothing here decodes it.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Lower-cases the ASCII letters A..Z only; national letters stay as they are.
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

inline std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

// Command, script, label, page-action and plug-in names: ASCII case ignored, equal length, no prefixes.
inline bool SameCommand(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// Names and values kept in records are short strings: at most 255 bytes, longer texts cut silently.
inline std::string ShortStr(std::string_view s) { return std::string(s.substr(0, 255)); }

inline std::string IntToStr(int64_t v) { return std::to_string(v); }

}  // namespace velmora
