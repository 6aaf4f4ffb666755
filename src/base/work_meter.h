#pragma once
// The work one script chain does, in units of about one byte moved: lines logged, bytes
// read and written, pages, pictures and tracks loaded, boxes shown. Counting commands alone
// lets a chain of a few slow commands run for minutes (a page load, a file write, a box
// each); this bounds what they do together. The bound is a fixed amount of work, never a
// time, so a replay ends at the same command on every run; a person choosing to keep
// waiting never lifts it.
//
// The meter starts afresh with each chain and faults only inside one: start-up and the
// shutdown do their work unbounded here, each of their reads being bounded by itself.
#include <cstdint>

namespace velmora {

class WorkMeter {
 public:
  static constexpr int64_t kChainBound = int64_t{256} << 20;
  // The fixed part of a thing's cost, besides its bytes.
  static constexpr int64_t kBoxCost = 64 << 10;      // a message box or an input dialog
  static constexpr int64_t kLoadCost = 16 << 10;     // a page, a picture, a track or a sound
  // A file written whole and synced before it replaces the old one takes milliseconds
  // however small it is: a chain writes a few hundred files, not tens of thousands.
  static constexpr int64_t kWriteCost = 512 << 10;

  void StartChain() {
    used_ = 0;
    inChain_ = true;
  }
  void EndChain() { inChain_ = false; }
  int64_t Used() const { return used_; }

  // Adds units of work; raises RuntimeFault inside a chain once the bound is passed.
  void Charge(int64_t units) {
    used_ += units;
    if (inChain_ && used_ > bound_) [[unlikely]] Exceeded();
  }
  // For tests: another bound (the fault names it).
  void SetBound(int64_t units) { bound_ = units; }

 private:
  [[noreturn]] void Exceeded();
  int64_t used_ = 0;
  int64_t bound_ = kChainBound;
  bool inChain_ = false;
};

}  // namespace velmora
