#pragma once
// A clock whose time moves only when told to: replays and tests run timers, music
// chains and sleeps exactly and repeatably, without waiting.
#include <ctime>

#include "base/platform.h"

namespace velmora {

class VirtualClock : public Clock {
 public:
  explicit VirtualClock(std::time_t wallStart = std::time(nullptr)) : wallStart_(wallStart) {}
  int64_t NowMs() override { return now_; }
  std::time_t WallTime() override { return wallStart_ + static_cast<std::time_t>(now_ / 1000); }
  // A blocking sleep lets its time pass; timers that fall due fire only once the
  // event loop runs again.
  void Sleep(int64_t ms) override {
    if (ms > 0) now_ += ms;
  }
  void Advance(int64_t ms) { now_ += ms; }
  void Set(int64_t ms) { now_ = ms; }

 private:
  std::time_t wallStart_;
  int64_t now_ = 0;
};

}  // namespace velmora
