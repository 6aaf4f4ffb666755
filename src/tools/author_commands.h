#pragma once
// The author's commands of the program: --map and --coverage. Each returns the exit status.
#include <ostream>
#include <string>
#include <vector>

namespace velmora {

// --map [FILE]: 0, or 2 when the map cannot be built or written (the reason on `err`).
int DrawStoryMap(const std::string& gameFolder, const std::string& mapFile, const std::string& codePage,
                 std::ostream& out, std::ostream& err);

// --coverage REPLAY... [--map FILE]: the table on `out`; 1 when a page the map reaches was
// never shown, 2 when a replay or the game cannot be read.
int ReportCoverage(const std::string& gameFolder, const std::vector<std::string>& replays, const std::string& mapFile,
                   const std::string& codePage, std::ostream& out, std::ostream& err);

}  // namespace velmora
