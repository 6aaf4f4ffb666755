#pragma once
// Reads a game folder without playing it and reports what would go wrong while playing:
// pages, scripts, labels, items, pictures, tracks and sounds that are named but missing,
// and pages nothing leads to. For authors, and for their own CI (errors make the
// program exit non-zero).
#include <string>
#include <vector>

namespace velmora {

struct CheckFinding {
  bool error = true;  // false: a warning
  std::string file;   // the game file the finding comes from, relative to the folder
  std::string message;
};

// What was looked at, for the closing line.
struct CheckedCounts {
  size_t pages = 0, scripts = 0, items = 0, tracks = 0, pictures = 0;
};

struct CheckReport {
  std::vector<CheckFinding> findings;
  CheckedCounts checked;
};

// gameFolder ends with a separator.
CheckReport CheckStory(const std::string& gameFolder);
// One line a finding: "<file>: error: <message>" or "<file>: warning: <message>".
std::string FormatFinding(const CheckFinding& f);
// The closing line: how many errors and warnings, and what was checked.
std::string FormatSummary(const CheckReport& report);

}  // namespace velmora
