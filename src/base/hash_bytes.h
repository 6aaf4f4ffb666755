#pragma once
// The hash of a text for the player's tables of names and sets: XXH3 from xxHash, which
// takes eight bytes a step on every machine. std::hash takes four a step where size_t has
// 32 bits (WebAssembly), and a set of long texts spent most of its time there.
#include <cstddef>
#include <cstdint>
#include <string_view>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace velmora {

inline uint64_t HashBytes(std::string_view text) { return XXH3_64bits(text.data(), text.size()); }

// A hash folded to 32 bits: size_t has 64 bits on some machines and 32 on others
// (WebAssembly), where shifting it by 32 would be undefined.
template <class UInt>
constexpr uint32_t FoldHash(UInt h) {
  const uint64_t wide = h;
  return static_cast<uint32_t>(wide ^ (wide >> 32));
}

// A hash as wide as size_t, for the standard library's hash tables.
inline size_t SizeHash(uint64_t h) {
  if constexpr (sizeof(size_t) < sizeof(uint64_t)) return FoldHash(h);
  else return static_cast<size_t>(h);
}

}  // namespace velmora
