#include "console/line_reader.h"

#include <poll.h>
#include <unistd.h>

namespace velmora {

std::optional<std::string> LineReader::TakeLine() {
  const size_t end = buffer_.find('\n');
  if (end == std::string::npos) {
    if (!eof_ || buffer_.empty()) return std::nullopt;
    std::string last = std::move(buffer_);  // a last line without a line end
    buffer_.clear();
    return last;
  }
  std::string line = buffer_.substr(0, end);
  buffer_.erase(0, end + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::optional<std::string> LineReader::Read(int timeoutMs) {
  if (auto line = TakeLine()) return line;
  while (!eof_) {
    pollfd p[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    const int ready = poll(p, wakeFd_ >= 0 ? 2 : 1, timeoutMs);
    if (ready <= 0 || p[1].revents != 0) return std::nullopt;  // timeout, a signal, a wake-up
    char chunk[4096];
    const ssize_t got = read(fd_, chunk, sizeof chunk);
    if (got < 0) return std::nullopt;
    if (got == 0) eof_ = true;
    buffer_.append(chunk, static_cast<size_t>(got));
    if (auto line = TakeLine()) return line;
    timeoutMs = 0;  // a partial line: go on only with what is already there
  }
  return TakeLine();
}

}  // namespace velmora
