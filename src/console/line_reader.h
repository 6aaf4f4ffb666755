#pragma once
// Lines from a file descriptor, waited for with a time limit, so that a loop can fire
// timers while a person has not typed anything yet.
#include <optional>
#include <string>

namespace velmora {

class LineReader {
 public:
  explicit LineReader(int fd) : fd_(fd) {}
  // A complete line (without its line end) when one arrives within timeoutMs (-1: no
  // limit); nullopt on timeout, on a signal, or at the end of input (then AtEnd()).
  std::optional<std::string> Read(int timeoutMs);
  bool AtEnd() const { return eof_ && buffer_.empty(); }

 private:
  std::optional<std::string> TakeLine();
  int fd_;
  std::string buffer_;
  bool eof_ = false;
};

}  // namespace velmora
