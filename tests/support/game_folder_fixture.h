#pragma once
// Helpers for tests of start-up and window commands: the process's current directory moved to a temporary
// folder for one test (LastStart.log and the current-directory paths land there), and the
// log without its date and time.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/game.h"
#include "support/test_game.h"

namespace velmora::testing {

class CurrentDirectory {
 public:
  CurrentDirectory() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(dir.path()); }
  ~CurrentDirectory() { std::filesystem::current_path(previous_); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;
  TempDir dir;

 private:
  std::filesystem::path previous_;
};

// "YYYY-MM-DD | HH:MM:SS | Warning:text" -> " | Warning:text".
inline std::vector<std::string> Undated(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines) out.push_back(l.size() >= 21 ? l.substr(21) : "<short line> " + l);
  return out;
}

// The lines of a saved log file (CR LF ends), undated.
inline std::vector<std::string> UndatedFile(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return Undated(lines);
}

}  // namespace velmora::testing
