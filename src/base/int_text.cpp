#include "base/int_text.h"

#include <string>

#include "base/fault.h"

namespace velmora {

std::optional<int32_t> ParseInt32(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return std::nullopt;
  uint64_t value = 0;
  if (hex) {
    size_t digits = 0;
    for (; i < s.size(); ++i) {
      char c = s[i];
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return std::nullopt;
      // Leading zeros do not count against the eight-digit limit.
      if (digits > 0 || d != 0) ++digits;
      if (digits > 8) return std::nullopt;
      value = value * 16 + static_cast<uint64_t>(d);
    }
    uint32_t pattern = static_cast<uint32_t>(value);
    if (negative) pattern = 0u - pattern;
    return static_cast<int32_t>(pattern);
  }
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > 2147483648ull) return std::nullopt;
  }
  if (!negative && value > 2147483647ull) return std::nullopt;
  return negative ? static_cast<int32_t>(-static_cast<int64_t>(value)) : static_cast<int32_t>(value);
}

int32_t StrToInt(std::string_view token) {
  if (auto v = ParseInt32(token)) return *v;
  throw RuntimeFault("'" + std::string(token) + "' is not a valid integer value");
}

std::optional<int64_t> NumberedName(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return std::nullopt;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.size() > 18 || (digits[0] == '0' && digits.size() > 1)) return std::nullopt;
  int64_t n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace velmora
