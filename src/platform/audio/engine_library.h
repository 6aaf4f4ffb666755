#pragma once
// What both engines share beyond the core's interface: the failure text and a count of
// the streams held, which tests and benchmarks watch.
#include <cstddef>
#include <string>

#include "base/silent_platform.h"

namespace velmora::audio {

class EngineLibrary : public AudioLibrary {
 public:
  uint32_t GetVersion() override { return kVersion; }
  std::string ErrorText() override { return error_; }
  virtual size_t HeldStreams() = 0;

 protected:
  bool Fail(std::string why) {
    error_ = std::move(why);
    return false;
  }
  std::string error_;
};

constexpr const char* kNotInitialised = "The audio output is not initialized";

}  // namespace velmora::audio
