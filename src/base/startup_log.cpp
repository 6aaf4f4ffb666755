#include "base/startup_log.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <algorithm>

#include "base/steady_clock.h"
#include "base/visible_text.h"

namespace velmora {

void StartupLog::WriteLog(int32_t level, std::string_view text) {
  const char* levelText;
  switch (level) {
    case 1: levelText = " | "; break;
    case 2: levelText = " | Warning:"; break;
    case 3: levelText = " | Error:"; break;
    default: return;
  }
  static SteadyClock wallClock;  // for a log lent no clock
  const std::time_t now = (clock_ ? clock_ : &wallClock)->WallTime();
  if (now != stampedAt_ || stamp_.empty()) {
    std::tm tm {};
    localtime_r(&now, &tm);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d | %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    stamp_ = stamp;
    stampedAt_ = now;
  }
  std::string line(stamp_);
  line += levelText;
  line += EscapeControls(text);  // names from game data cannot break the line
  const size_t bytes = line.size() + 2;  // with its CR LF
  if (meter_) meter_->Charge(static_cast<int64_t>(bytes));
  if (newest_.empty() && firstBytes_ + bytes <= halfBytes_) {
    firstBytes_ += bytes;
    first_.push_back(std::move(line));
    return;
  }
  newestBytes_ += bytes;
  newest_.push_back(std::move(line));
  while (newestBytes_ > halfBytes_ && newest_.size() > 1) {
    newestBytes_ -= newest_.front().size() + 2;
    newest_.pop_front();
    ++leftOut_;
  }
}

std::vector<std::string> StartupLog::Lines() const {
  std::vector<std::string> lines = first_;
  if (leftOut_ > 0) {
    // Dated as the first line kept after the gap.
    const std::string& after = newest_.front();
    const size_t stamp = std::min(after.find(" | ", 13), after.size());
    lines.push_back(after.substr(0, stamp) + " | Warning:" + std::to_string(leftOut_) +
                    " line(s) left out here: the log keeps its first and its newest " +
                    std::to_string(halfBytes_ >> 20) + " MB");
  }
  lines.insert(lines.end(), newest_.begin(), newest_.end());
  return lines;
}

bool StartupLog::Save(GameFiles& files, const std::string& path) const {
  std::string text;
  text.reserve(firstBytes_ + newestBytes_ + 128);
  for (const auto& l : Lines()) text.append(l).append("\r\n");
  return files.Overwrite(path, text);
}

}  // namespace velmora
