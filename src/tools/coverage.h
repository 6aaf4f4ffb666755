#pragma once
// Coverage of an author's replays: which pages they show and which choices they take,
// measured by playing them on a copy of the game folder, against the story map.
#include <ostream>
#include <string>
#include <vector>

#include "tools/story_map.h"

namespace velmora {

struct CoverageReport {
  StoryMap map;
  MapCoverage covered;
  std::vector<size_t> timesShown;  // per page of the map
};

// Plays the replays one after the other (a later one goes on from what an earlier one
// saved) on a temporary copy of the game folder, with that copy as the current directory
// meanwhile. False with the reason in `error` when a replay cannot be read or the
// folder cannot be copied.
bool MeasureCoverage(const std::string& gameFolder, const std::vector<std::string>& replays,
                     const std::string& codePage, CoverageReport& report, std::string& error);

// The table: one row a page (shown how often, choices taken of all), then a closing line
// naming the pages the map reaches that no replay showed.
std::string FormatCoverage(const CoverageReport& report);

// The page a log line says was loaded ("Page <name> loaded!", after the date), or false.
bool PageLoadedByLogLine(const std::string& line, std::string& page);

// Pages the map reaches from the start page that no replay showed.
std::vector<size_t> PagesNeverShown(const CoverageReport& report);

}  // namespace velmora
