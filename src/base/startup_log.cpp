#include "base/startup_log.h"

#include <cstdio>
#include <ctime>

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
  std::time_t now = (clock_ ? clock_ : &wallClock)->WallTime();
  std::tm tm {};
  localtime_r(&now, &tm);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d | %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  std::string line(stamp);
  line += levelText;
  line += EscapeControls(text);  // names from game data cannot break the line
  lines_.push_back(std::move(line));
}

bool StartupLog::Save(GameFiles& files, const std::string& path) const {
  std::string text;
  for (const auto& l : lines_) text.append(l).append("\r\n");
  return files.Overwrite(path, text);
}

}  // namespace velmora
