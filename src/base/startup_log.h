#pragma once
// The run's log: dated lines kept in memory for the whole run and written to
// LastStart.log (CR LF line ends) at shutdown. Line form:
//   YYYY-MM-DD | HH:MM:SS | message          (level 1)
//   YYYY-MM-DD | HH:MM:SS | Warning:message  (level 2)
//   YYYY-MM-DD | HH:MM:SS | Error:message    (level 3)
// Other levels write nothing. Control characters in the message are escaped ("\n",
// "\x1B"), so a name from game data never splits or forges a line.
//
// A script can log without end, so the log is bounded, in memory as on disk: it keeps its
// first lines (how the run began) and its newest (how it ended), each up to half the
// bound, and between them one line that says how many were left out.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "base/work_meter.h"

namespace velmora {

class StartupLog {
 public:
  // Bytes of lines (with their line ends) kept at most.
  static constexpr size_t kMaxBytes = size_t{16} << 20;

  // Each line is charged to meter, when there is one.
  explicit StartupLog(Clock* clock = nullptr, WorkMeter* meter = nullptr, size_t maxBytes = kMaxBytes)
      : clock_(clock), meter_(meter), halfBytes_(maxBytes / 2) {}
  void SetClock(Clock* clock) { clock_ = clock; }

  void WriteLog(int32_t level, std::string_view text);
  // The lines kept, with the line about the left-out ones where they were.
  std::vector<std::string> Lines() const;
  size_t LeftOut() const { return leftOut_; }
  // Writes the file over; false when it cannot be written.
  bool Save(GameFiles& files, const std::string& path) const;

 private:
  Clock* clock_;
  WorkMeter* meter_;
  size_t halfBytes_;
  std::vector<std::string> first_;  // the first lines, up to half the bound
  size_t firstBytes_ = 0;
  std::deque<std::string> newest_;  // then the newest, up to the other half
  size_t newestBytes_ = 0;
  size_t leftOut_ = 0;              // lines dropped between the two
  // The date and time of the last line, formatted once a second: the browser's local
  // time conversion is slow enough to show in a game's start.
  std::time_t stampedAt_ = -1;
  std::string stamp_;
};

}  // namespace velmora
