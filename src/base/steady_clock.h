#pragma once
// Real time for the windows and the terminal player.
#include <chrono>
#include <thread>

#include "base/platform.h"

namespace velmora {

class SteadyClock : public Clock {
 public:
  int64_t NowMs() override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now() - start_).count();
  }
  std::time_t WallTime() override { return std::time(nullptr); }
  void Sleep(int64_t ms) override {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace velmora
