#pragma once
// A hash index over the names of a record table that it does not own: it keeps record
// indexes only and compares against the names stored in the records, so the table may
// move in memory without the index noticing. The first record of a name wins, as in a
// scan from the front.
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/hash_bytes.h"

namespace velmora {

class NameIndex {
 public:
  // Index of the first record whose stored name (nameOf(i)) equals name, -1 when none.
  template <class NameOf>
  int32_t Find(std::string_view name, const NameOf& nameOf) const {
    if (slots_.empty()) return -1;
    const uint32_t h = Hash(name);
    for (size_t s = h & mask_;; s = (s + 1) & mask_) {
      const int32_t i = slots_[s];
      if (i < 0) return -1;
      if (hashes_[s] == h && nameOf(i) == name) return i;
    }
  }

  // Records index under its stored name, unless a record of that name is indexed already.
  template <class NameOf>
  void Insert(int32_t index, const NameOf& nameOf) {
    if (2 * (used_ + 1) > slots_.size()) Grow(nameOf);
    Place(index, nameOf);
  }

  // Indexes records 0..count-1 afresh (their names may have changed).
  template <class NameOf>
  void Rebuild(int32_t count, const NameOf& nameOf) {
    size_t size = 16;
    while (size < 2 * static_cast<size_t>(count) + 2) size *= 2;
    Reset(size);
    for (int32_t i = 0; i < count; ++i) Place(i, nameOf);
  }

 private:
  static uint32_t Hash(std::string_view name) { return FoldHash(HashBytes(name)); }

  void Reset(size_t size) {
    slots_.assign(size, -1);
    hashes_.assign(size, 0);
    mask_ = size - 1;
    used_ = 0;
  }

  template <class NameOf>
  void Place(int32_t index, const NameOf& nameOf) {
    const std::string_view name = nameOf(index);
    const uint32_t h = Hash(name);
    size_t s = h & mask_;
    for (; slots_[s] >= 0; s = (s + 1) & mask_)
      if (hashes_[s] == h && nameOf(slots_[s]) == name) return;
    slots_[s] = index;
    hashes_[s] = h;
    ++used_;
  }

  template <class NameOf>
  void Grow(const NameOf& nameOf) {
    std::vector<int32_t> old = std::move(slots_);
    Reset(old.empty() ? 16 : old.size() * 2);
    // Each name is indexed once already, by its first record, so order does not matter here.
    for (int32_t i : old)
      if (i >= 0) Place(i, nameOf);
  }

  std::vector<int32_t> slots_;   // record index, -1 for an empty slot
  std::vector<uint32_t> hashes_;  // hash of the name in the same slot
  size_t mask_ = 0;
  size_t used_ = 0;
};

}  // namespace velmora
