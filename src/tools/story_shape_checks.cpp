#include "tools/story_shape_checks.h"

#include <map>
#include <set>
#include <string_view>

#include "base/text.h"
#include "run/command_language.h"
#include "script/command_table.h"
#include "script/script_library.h"

namespace velmora {

namespace {

enum class VarKind { kInt, kString };

// Commands that read a variable that must exist already, and the argument that names it.
struct VarRead {
  std::string_view command;
  int argument;
  VarKind kind;
};
constexpr VarRead kVarReads[] = {
    {"$int.random", 1, VarKind::kInt},        {"$int.random.range", 1, VarKind::kInt},
    {"$int.add", 1, VarKind::kInt},           {"$int.substrat", 1, VarKind::kInt},
    {"$int.multiple", 1, VarKind::kInt},      {"$int.div", 1, VarKind::kInt},
    {"$int.mod", 1, VarKind::kInt},           {"$int.equal", 1, VarKind::kInt},
    {"$int.notequal", 1, VarKind::kInt},      {"$int.largerthan", 1, VarKind::kInt},
    {"$int.largerthanorequal", 1, VarKind::kInt}, {"$int.smallerthan", 1, VarKind::kInt},
    {"$int.smallerthanorequal", 1, VarKind::kInt}, {"$inventory.GetItemCount", 2, VarKind::kInt},
    {"$inventory.Usable", 2, VarKind::kInt},  {"$string.split", 1, VarKind::kString},
    {"$string.split.int", 1, VarKind::kString}, {"$string.get", 1, VarKind::kString},
    {"$string.equal", 1, VarKind::kString},   {"$string.notequal", 1, VarKind::kString},
    {"$inventory.DisplayName", 2, VarKind::kString},
};

// Commands that create a variable named by their first argument.
constexpr std::pair<std::string_view, VarKind> kVarCreations[] = {
    {"$int.new", VarKind::kInt}, {"$int.set", VarKind::kInt}, {"$string.new", VarKind::kString}, {"$string.set", VarKind::kString}};

}  // namespace

std::vector<CheckFinding> CheckStoryShape(const StoryMap& map, const ScriptLibrary& library,
                                          const std::string& storyFile, const std::string& scriptFile) {
  std::vector<CheckFinding> findings;
  for (const MapPage& page : map.pages)
    if (page.deadEnd)
      findings.push_back({false, storyFile, "page " + page.name + " is a dead end: no choice, timed action or fast answer "
                                           "leads on from it, and none ends the game"});

  // What every script of the library says, whether or not a page reaches it: names a
  // $run, $jump or string value may bring to life, and the variables created.
  std::set<std::string> named, jumped;
  std::set<std::pair<VarKind, std::string>> created;
  for (const ScriptBlock& s : library.scripts) {
    const TokenList& t = s.tokens;
    for (size_t i = 0; i < t.tokens.size(); ++i) {
      const int16_t c = t.command[i];
      if (c < 0 || i + 1 >= t.tokens.size()) continue;
      const std::string_view name = LanguageCommands()[static_cast<size_t>(c)].name;
      if (name == "$jump") jumped.insert(AsciiLower(t.tokens[i + 1]));
      if (name == "$string.set" && i + 2 < t.tokens.size()) named.insert(AsciiLower(t.tokens[i + 2]));
      for (const auto& [creator, kind] : kVarCreations)
        if (name == creator) created.emplace(kind, t.tokens[i + 1]);
    }
  }

  std::set<std::string> reported;
  for (const ScriptBlock& s : library.scripts) {
    const std::string lower = AsciiLower(s.name);
    if (!map.use.scriptsRun.count(lower) && !named.count(lower) && reported.insert("script\n" + lower).second)
      findings.push_back({false, scriptFile, "script " + s.name + " is run by nothing: no choice, page action, fast "
                                             "answer, item or $run names it"});
    const TokenList& t = s.tokens;
    for (size_t i = 0; i + 1 < t.tokens.size(); ++i) {
      const int16_t c = t.command[i];
      if (c < 0) continue;
      const std::string_view name = LanguageCommands()[static_cast<size_t>(c)].name;
      if (name == ".label" && !jumped.count(AsciiLower(t.tokens[i + 1])))
        findings.push_back({false, scriptFile, "script " + s.name + ": label " + t.tokens[i + 1] + " is jumped to by nothing"});
      for (const VarRead& read : kVarReads) {
        if (name != read.command || i + static_cast<size_t>(read.argument) >= t.tokens.size()) continue;
        const std::string& var = t.tokens[i + static_cast<size_t>(read.argument)];
        if (!created.count({read.kind, var}) && reported.insert(s.name + "\n" + var).second)
          findings.push_back({false, scriptFile,
                              "script " + s.name + ": " + std::string(read.command) + " reads " +
                                  (read.kind == VarKind::kInt ? "integer" : "string") + " variable " + var +
                                  ", which no script creates"});
      }
    }
  }
  return findings;
}

}  // namespace velmora
