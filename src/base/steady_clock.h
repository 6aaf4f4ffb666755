#pragma once
// Real time for the windows and the terminal player.
#include <chrono>

#include "base/platform.h"
#include "base/stop_signals.h"

namespace velmora {

class SteadyClock : public Clock {
 public:
  int64_t NowMs() override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now() - start_).count();
  }
  std::time_t WallTime() override { return std::time(nullptr); }
  // A stop signal cuts the wait short, so that even a long $sleep ends the program soon.
  void Sleep(int64_t ms) override {
    if (ms > 0) StopSignals::Sleep(ms);
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace velmora
