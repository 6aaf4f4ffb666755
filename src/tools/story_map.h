#pragma once
// The story's shape as a graph, for authors: one node per page, one edge from a page to
// each page its ways can reach (a choice, the timed page action, the fast answer),
// following the scripts they run through $run, $jump and both outcomes of every test.
// Built by reading the game folder only; nothing is played.
#include <cstddef>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class IniDocument;
class ScriptLibrary;
class TextCodec;

struct MapPage {
  std::string name;       // the section name, as the story file writes it
  std::string firstLine;  // Line0, in UTF-8
  int actions = 0;        // ActionsCount: the choices the page can offer
  bool start = false;
  bool ending = false;    // a way of the page runs $exit
  bool deadEnd = false;   // no way on and no ending
  bool reachable = false;  // from the start page along the edges
  bool missing = false;    // named by a way but the story file has no such section
};

enum class WayKind { kChoice, kTimed, kFastAnswer };

struct MapEdge {
  size_t from = 0;
  size_t to = 0;          // a page index; unused when computed
  bool computed = false;  // the target is only known at run time (a variable, the saved page)
  WayKind kind = WayKind::kChoice;
  int choice = -1;        // the action's number for a choice
  std::string label;      // the choice's text (UTF-8), "timed" or "fast answer"
};

// What scripts do besides moving between pages, gathered while the ways are followed, for
// the checker's findings.
struct ScriptUse {
  std::set<std::string> scriptsRun;    // lower-cased names of scripts some way or item runs
  std::set<std::string> labelsJumped;  // lower-cased label names some $jump names
};

struct StoryMap {
  std::vector<MapPage> pages;  // story file order; pages named but missing come last
  std::vector<MapEdge> edges;
  size_t startPage = 0;
  ScriptUse use;
  // Index of the page of that name (letter case ignored), or pages.size().
  size_t Find(const std::string& name) const;
};

// The map of the game folder (ending with a separator). Throws RuntimeFault when the game
// has no config.ini or story file.
StoryMap BuildStoryMap(const std::string& gameFolder, const std::string& codePage = "WINDOWS-1251");
// The same from documents already open: `sections` are the story file's section names in
// file order (see StorySectionNames); inventory may be null.
StoryMap BuildStoryMap(const IniDocument& config, const IniDocument& story, const std::vector<std::string>& sections,
                       const ScriptLibrary& library, const IniDocument* inventory, const TextCodec& codec);

// Which pages were shown and which choices taken, for colouring the map.
struct MapCoverage {
  std::set<size_t> pagesShown;
  std::set<std::pair<size_t, int>> choicesTaken;  // (page, action number)
};

// Graphviz DOT: pages by their names, labelled with their first lines; the start page,
// endings and dead ends marked; computed ways to a "computed" marker; pages nothing
// reaches in a cluster apart; a legend. With coverage, the covered parts coloured.
std::string MapToDot(const StoryMap& map, const MapCoverage* coverage = nullptr);

}  // namespace velmora
