#pragma once
// The run's log: dated lines kept in memory for the whole run and written to
// LastStart.log (CR LF line ends) at shutdown. Line form:
//   YYYY-MM-DD | HH:MM:SS | message          (level 1)
//   YYYY-MM-DD | HH:MM:SS | Warning:message  (level 2)
//   YYYY-MM-DD | HH:MM:SS | Error:message    (level 3)
// Other levels write nothing. Control characters in the message are escaped ("\n",
// "\x1B"), so a name from game data never splits or forges a line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"

namespace velmora {

class StartupLog {
 public:
  explicit StartupLog(Clock* clock = nullptr) : clock_(clock) {}
  void SetClock(Clock* clock) { clock_ = clock; }

  void WriteLog(int32_t level, std::string_view text);
  const std::vector<std::string>& Lines() const { return lines_; }
  // Writes the file over; false when it cannot be written.
  bool Save(GameFiles& files, const std::string& path) const;

 private:
  Clock* clock_;
  std::vector<std::string> lines_;
};

}  // namespace velmora
