#pragma once
// A set in insertion order whose finding, adding and removing cost the same however large
// it is. Elements sit in a list of slots in the order they were added; a hash map from
// each value to the first and last of its slots answers membership. Removing an element
// leaves a hole in the slot list, closed up in one sweep once holes are many (or before
// an element is asked for by position), so positions are those of a list with the
// element taken out. Each value's bytes are hashed once per operation.
//
// Adding without a check may put a value in twice; removal takes its first slot, as a
// scan from the front would find it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "base/hash_bytes.h"

namespace velmora {

template <class T, class View>
class OrderedSet {
 public:
  bool Contains(View v) const { return map_.find(Probe {v, Hash(v)}) != map_.end(); }

  // True when v is in the set; otherwise adds it and answers false.
  bool FindAdd(View v) {
    const size_t h = Hash(v);
    if (map_.find(Probe {v, h}) != map_.end()) return true;
    Append(map_.emplace(Key {T(v), h}, Chain {}).first);
    return false;
  }

  void Add(View v) {
    const size_t h = Hash(v);
    auto it = map_.find(Probe {v, h});
    if (it == map_.end()) it = map_.emplace(Key {T(v), h}, Chain {}).first;
    Append(it);
  }

  void Remove(View v) {
    auto it = map_.find(Probe {v, Hash(v)});
    if (it == map_.end()) return;
    Chain& chain = it->second;
    Slot& first = slots_[static_cast<size_t>(chain.first)];
    first.entry = nullptr;
    ++holes_;
    if (first.nextSame < 0) map_.erase(it);
    else chain.first = first.nextSame;
    while (!slots_.empty() && !slots_.back().entry) {
      slots_.pop_back();
      --holes_;
    }
    if (holes_ > 32 && 2 * holes_ > slots_.size()) CloseHoles();
  }

  // Position of the first element equal to v, -1 when there is none.
  int Find(View v) const {
    CloseHoles();
    auto it = map_.find(Probe {v, Hash(v)});
    return it == map_.end() ? -1 : it->second.first;
  }

  const T& At(int i) const {
    CloseHoles();
    return slots_[static_cast<size_t>(i)].entry->first.value;
  }

  int Size() const { return static_cast<int>(slots_.size() - holes_); }

  void Clear() {
    map_.clear();
    slots_.clear();
    holes_ = 0;
  }

 private:
  struct Key {
    T value;
    size_t hash;
  };
  struct Probe {
    View value;
    size_t hash;
  };
  struct Chain {
    int32_t first = -1, last = -1;  // the value's first and last slot
  };
  struct KeyHash {
    using is_transparent = void;
    size_t operator()(const Key& k) const { return k.hash; }
    size_t operator()(const Probe& p) const { return p.hash; }
  };
  struct KeyEqual {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
      return a.hash == b.hash && View(a.value) == View(b.value);
    }
  };
  using Map = std::unordered_map<Key, Chain, KeyHash, KeyEqual>;
  struct Slot {
    typename Map::value_type* entry;  // null: a hole left by a removal
    int32_t nextSame;                 // the next slot of the same value, -1 when none
  };

  static size_t Hash(View v) {
    if constexpr (std::is_same_v<View, std::string_view>) return SizeHash(HashBytes(v));
    else return std::hash<View> {}(v);
  }

  void Append(typename Map::iterator it) {
    const auto s = static_cast<int32_t>(slots_.size());
    slots_.push_back({&*it, -1});
    Chain& chain = it->second;
    if (chain.first < 0) chain.first = s;
    else slots_[static_cast<size_t>(chain.last)].nextSame = s;
    chain.last = s;
  }

  void CloseHoles() const {
    if (holes_ == 0) return;
    std::vector<int32_t> moved(slots_.size(), -1);
    int32_t n = 0;
    for (size_t i = 0; i < slots_.size(); ++i)
      if (slots_[i].entry) moved[i] = n++;
    for (size_t i = 0; i < slots_.size(); ++i) {
      Slot& slot = slots_[i];
      if (!slot.entry) continue;
      Chain& chain = slot.entry->second;
      if (chain.first == static_cast<int32_t>(i)) {  // each chain once, at its first slot
        chain.first = moved[i];
        chain.last = moved[static_cast<size_t>(chain.last)];
      }
      if (slot.nextSame >= 0) slot.nextSame = moved[static_cast<size_t>(slot.nextSame)];
      slots_[static_cast<size_t>(moved[i])] = slot;
    }
    slots_.resize(static_cast<size_t>(n));
    holes_ = 0;
  }

  // Holes are closed lazily, also by the const position lookups.
  mutable Map map_;
  mutable std::vector<Slot> slots_;
  mutable size_t holes_ = 0;
};

}  // namespace velmora
