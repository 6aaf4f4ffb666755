#include "tools/author_commands.h"

#include "base/fault.h"
#include "tools/coverage.h"
#include "tools/map_output.h"

namespace velmora {

int DrawStoryMap(const std::string& gameFolder, const std::string& mapFile, const std::string& codePage,
                 std::ostream& out, std::ostream& err) {
  std::string error;
  try {
    if (WriteStoryMap(MapToDot(BuildStoryMap(gameFolder, codePage)), mapFile, out, error)) return 0;
  } catch (const RuntimeFault& fault) {
    error = fault.what();
  }
  err << "velmora-player: " << error << '\n';
  return 2;
}

int ReportCoverage(const std::string& gameFolder, const std::vector<std::string>& replays, const std::string& mapFile,
                   const std::string& codePage, std::ostream& out, std::ostream& err) {
  std::string error;
  try {
    CoverageReport report;
    if (MeasureCoverage(gameFolder, replays, codePage, report, error)) {
      out << FormatCoverage(report);
      if (mapFile.empty() || WriteStoryMap(MapToDot(report.map, &report.covered), mapFile, out, error))
        return PagesNeverShown(report).empty() ? 0 : 1;
    }
  } catch (const RuntimeFault& fault) {
    error = fault.what();
  }
  err << "velmora-player: " << error << '\n';
  return 2;
}

}  // namespace velmora
