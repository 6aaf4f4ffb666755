#pragma once
// Lines from a file descriptor, waited for with a time limit, so that a loop can fire
// timers while a person has not typed anything yet.
#include <optional>
#include <string>

namespace velmora {

class LineReader {
 public:
  // wakeFd, when not -1, ends a wait as soon as it becomes readable (a stop request).
  explicit LineReader(int fd, int wakeFd = -1) : fd_(fd), wakeFd_(wakeFd) {}
  // A complete line (without its line end) when one arrives within timeoutMs (-1: no
  // limit); nullopt on timeout, on a signal or wake-up, or at the end of input (then AtEnd()).
  std::optional<std::string> Read(int timeoutMs);
  bool AtEnd() const { return eof_ && buffer_.empty(); }

 private:
  std::optional<std::string> TakeLine();
  int fd_;
  int wakeFd_;
  std::string buffer_;
  bool eof_ = false;
};

}  // namespace velmora
