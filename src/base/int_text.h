#pragma once
// Integer text, one parser for the INI reader and the script interpreter: optional leading
// blanks, an optional sign, then decimal digits that fit in 32 signed bits, or up to eight
// hexadecimal digits after "$", "x", "X", "0x" or "0X", taken as a 32-bit pattern.
#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora {

std::optional<int32_t> ParseInt32(std::string_view text);

// The interpreter's conversion: a token that is no integer is the fault
// "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view token);

// The n of a (lower-case) name that reads exactly as the program forms numbered names:
// prefix, then n in decimal digits without leading zeros ("item7", not "item07",
// "item-0" or "item+7"). Empty for any other name.
std::optional<int64_t> NumberedName(std::string_view name, std::string_view prefix);

}  // namespace velmora
