#include "tools/story_map.h"

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>

#include "base/codepage.h"
#include "base/fault.h"
#include "base/game.h"
#include "base/ini_document.h"
#include "base/text.h"
#include "platform/files/posix_files.h"
#include "run/headless.h"
#include "run/command_language.h"
#include "script/command_table.h"
#include "script/script_library.h"
#include "tools/snapshot_files.h"
#include "tools/story_sections.h"

namespace velmora {

namespace {

// Where a way can lead: the pages its scripts name, whether one of them is computed at run
// time, whether one ends the game.
struct Reach {
  std::vector<std::string> pages;
  bool computed = false;
  bool exits = false;
  bool missingScript = false;  // a script it names is not in the library (the checker's error)
};

struct LabelRange {
  int32_t first = 0, last = -1;
};

// Follows scripts as the interpreter could run them: every command position a run can
// reach, with both outcomes of each test and both the body and the rest of each loop.
class WayFollower {
 public:
  WayFollower(const ScriptLibrary& library, const std::string& startPage, const IniDocument* inventory,
              ScriptUse& use)
      : library_(library), startPage_(startPage), use_(use) {
    for (const ScriptBlock& s : library.scripts) {
      const TokenList& t = s.tokens;
      for (size_t i = 0; i + 1 < t.tokens.size(); ++i) {
        const int16_t c = t.command[i];
        if (c < 0) continue;
        const std::string_view name = LanguageCommands()[static_cast<size_t>(c)].name;
        if (name == "$string.set" || name == "$string.new" || name == "$string.get") stringVars_.insert(t.tokens[i + 1]);
        if (name == ".label") {
          // The first definition in the library wins, as the first one recorded at run time usually does.
          const int32_t first = static_cast<int32_t>(i + 2);
          const int32_t end = first < static_cast<int32_t>(t.terminator.size()) ? t.terminator[static_cast<size_t>(first)]
                                                                                : static_cast<int32_t>(t.tokens.size());
          labels_.emplace(AsciiLower(t.tokens[i + 1]), LabelRange{first, end - 1});
        }
      }
    }
    if (inventory) {
      const int32_t total = inventory->ReadInteger("Inventory", "TotalItems", 0);
      for (int32_t n = 0; n < total && n < 100000; ++n) {
        const std::string sec = "Item" + std::to_string(n);
        itemScripts_.emplace(inventory->ReadText(sec, "Name", "ITEM_NAME"), inventory->ReadText(sec, "Script", ""));
        for (const char* key : {"Script", "EquipScript", "UnEquipScript"})
          if (std::string script = inventory->ReadText(sec, key, ""); !script.empty()) windowScripts_.push_back(script);
      }
    }
  }

  bool IsStringVar(const std::string& token) const { return stringVars_.count(token) > 0; }
  const std::map<std::string, LabelRange>& Labels() const { return labels_; }

  Reach Script(const std::string& name) {
    Reach reach;
    visited_.clear();
    RunScript(name, reach);
    return reach;
  }

  // What running the page action `action` with `param` leads to.
  Reach PageAction(const std::string& action, const std::string& param) {
    Reach reach;
    if (SameCommand(action, "$goto")) reach.pages.push_back(param);
    else if (SameCommand(action, "$run")) reach = Script(param);
    else if (SameCommand(action, "$start")) reach.pages.push_back(startPage_);
    else if (SameCommand(action, "$load")) reach.computed = true;
    else if (SameCommand(action, "$exit")) reach.exits = true;
    return reach;
  }

  // Marks the scripts the inventory window's buttons run as used.
  void FollowItemScripts() {
    for (const std::string& script : windowScripts_) Script(script);
  }

 private:
  void RunScript(const std::string& name, Reach& reach) {
    use_.scriptsRun.insert(AsciiLower(name));
    const int index = library_.FindScript(name);
    if (index < 0) {
      reach.missingScript = true;
      return;
    }
    const TokenList& t = library_.scripts[static_cast<size_t>(index)].tokens;
    Run(t, 0, static_cast<int32_t>(t.tokens.size()) - 1, reach);
  }

  void Run(const TokenList& t, int32_t first, int32_t last, Reach& reach) {
    if (!visited_.emplace(&t, first, last).second) return;
    const int32_t size = static_cast<int32_t>(t.tokens.size());
    if (last >= size) last = size - 1;
    if (first < 0 || first > last) return;
    std::vector<bool> seen(static_cast<size_t>(last - first + 1));
    std::set<int32_t> todo{first};  // lowest position first, so targets come in script order
    auto arg = [&](int32_t p) -> const std::string* {
      return p < size ? &t.tokens[static_cast<size_t>(p)] : nullptr;
    };
    while (!todo.empty()) {
      const int32_t p = *todo.begin();
      todo.erase(todo.begin());
      if (p < first || p > last || seen[static_cast<size_t>(p - first)]) continue;
      seen[static_cast<size_t>(p - first)] = true;
      const int16_t code = t.command[static_cast<size_t>(p)];
      if (code == kEndToken) continue;
      if (code < 0) {
        todo.insert(p + 1);
        continue;
      }
      const CommandInfo& info = LanguageCommands()[static_cast<size_t>(code)];
      const std::string_view name = info.name;
      const std::string* a = arg(p + 1);
      if (name == "$goto" && a) {
        if (IsStringVar(*a)) reach.computed = true;
        else reach.pages.push_back(*a);
      } else if (name == "$run" && a) {
        if (IsStringVar(*a)) reach.computed = true;
        else RunScript(*a, reach);
      } else if (name == "$jump" && a) {
        const std::string label = AsciiLower(*a);
        use_.labelsJumped.insert(label);
        // A label's range runs in the token list of the script that jumps.
        if (auto it = labels_.find(label); it != labels_.end()) Run(t, it->second.first, it->second.last, reach);
      } else if (name == "$start") {
        reach.pages.push_back(startPage_);
      } else if (name == "$load") {
        reach.computed = true;
      } else if (name == "$exit") {
        reach.exits = true;
      } else if (name == "$inventory.Use" && a) {
        if (auto it = itemScripts_.find(*a); it != itemScripts_.end() && !it->second.empty()) RunScript(it->second, reach);
      }
      switch (info.advance) {
        case Advance::kFixed:
          todo.insert(p + info.width);
          break;
        case Advance::kTest:
          todo.insert(p + info.width);
          todo.insert(p + info.width + 1);
          break;
        case Advance::kLoop:
          todo.insert(p + (name == "$while" ? 4 : 3));  // the body, after the condition or the bounds
          todo.insert(p + info.width);
          break;
        case Advance::kToTerminator:
          if (p + 2 < size) todo.insert(t.terminator[static_cast<size_t>(p + 2)] + 1);
          break;
        case Advance::kEndsList:
          break;
      }
    }
  }

  const ScriptLibrary& library_;
  std::string startPage_;
  ScriptUse& use_;
  std::set<std::string> stringVars_;
  std::map<std::string, LabelRange> labels_;
  std::map<std::string, std::string> itemScripts_;  // item name -> the script using it runs
  std::vector<std::string> windowScripts_;            // every item's use, wear and take-off scripts
  std::set<std::tuple<const TokenList*, int32_t, int32_t>> visited_;
};

// A choice's text on one line: its lines joined by blanks, without the double quotes the
// list never shows.
std::string ChoiceText(const IniDocument& story, const std::string& page, int32_t action, const TextCodec& codec) {
  const std::string a = "Action" + std::to_string(action);
  const int32_t lines = story.ReadInteger(page, a + ".LinesCount", 0);
  std::string text;
  for (int32_t m = 0; m < lines && m < 100; ++m) {
    std::string line = story.ReadText(page, a + ".Line" + std::to_string(m), "");
    if (line.empty()) continue;
    if (!text.empty()) text += ' ';
    text += line;
  }
  std::erase(text, '"');
  return codec.ToUtf8(text);
}

}  // namespace

size_t StoryMap::Find(const std::string& name) const {
  for (size_t i = 0; i < pages.size(); ++i)
    if (SameCommand(pages[i].name, name)) return i;
  return pages.size();
}

StoryMap BuildStoryMap(const IniDocument& config, const IniDocument& story, const std::vector<std::string>& sections,
                       const ScriptLibrary& library, const IniDocument* inventory, const TextCodec& codec) {
  StoryMap map;
  std::unordered_map<std::string, size_t> index;  // lower-cased name -> page
  auto pageIndex = [&](const std::string& name, bool missing) {
    auto [it, added] = index.emplace(AsciiLower(name), map.pages.size());
    if (added) {
      MapPage page;
      page.name = name;
      page.missing = missing;
      map.pages.push_back(std::move(page));
    }
    return it->second;
  };
  for (const std::string& name : StoryPageNames(story, sections)) {
    const size_t i = pageIndex(name, false);
    map.pages[i].firstLine = codec.ToUtf8(story.ReadText(name, "Line0", ""));
  }
  const size_t storyPages = map.pages.size();

  const std::string startPage = config.ReadText("Start", "StartPage", "gamestart");
  WayFollower follow(library, startPage, inventory, map.use);
  std::set<std::tuple<size_t, size_t, std::string>> drawn;
  std::vector<bool> namesMissingScript(storyPages);  // not called a dead end: the missing script is reported
  auto addWay = [&](size_t from, const Reach& reach, WayKind kind, int choice, const std::string& label) {
    for (const std::string& target : reach.pages) {
      const size_t to = pageIndex(target, !story.SectionPresent(target));
      if (drawn.emplace(from, to, label).second) map.edges.push_back({from, to, false, kind, choice, label});
    }
    if (reach.missingScript) namesMissingScript[from] = true;
    if (reach.computed && drawn.emplace(from, SIZE_MAX, label).second)
      map.edges.push_back({from, 0, true, kind, choice, label});
    // The start page's way out (a title page's "quit") ends no story.
    if (reach.exits && !SameCommand(map.pages[from].name, startPage)) map.pages[from].ending = true;
  };
  for (size_t from = 0; from < storyPages; ++from) {
    const std::string name = map.pages[from].name;
    const int32_t actions = std::min(story.ReadInteger(name, "ActionsCount", 0), 100000);
    map.pages[from].actions = std::max(actions, 0);
    for (int32_t n = 0; n < actions; ++n)
      addWay(from, follow.Script(story.ReadText(name, "Action" + std::to_string(n) + ".Script", "")), WayKind::kChoice, n,
             ChoiceText(story, name, n, codec));
    if (story.ReadBool(name, "Page.Cutscene", false))
      addWay(from, follow.PageAction(story.ReadText(name, "Page.Action", "nil"), story.ReadText(name, "Page.Param", "nil")),
             WayKind::kTimed, -1, "timed");
    if (story.ReadBool(name, "Page.RequireFastAnswer", false))
      addWay(from, follow.Script(story.ReadText(name, "Page.FastScript", "nil")), WayKind::kFastAnswer, -1,
             "fast answer");
  }
  follow.FollowItemScripts();

  map.startPage = pageIndex(startPage, !story.SectionPresent(startPage));
  map.pages[map.startPage].start = true;
  std::vector<std::vector<size_t>> out(map.pages.size());
  std::vector<bool> waysOn(map.pages.size());
  for (const MapEdge& e : map.edges) {
    waysOn[e.from] = true;
    if (!e.computed) out[e.from].push_back(e.to);
  }
  for (size_t i = 0; i < map.pages.size(); ++i)
    map.pages[i].deadEnd = !map.pages[i].missing && !waysOn[i] && !map.pages[i].ending &&
                           !(i < storyPages && namesMissingScript[i]);
  std::vector<size_t> todo{map.startPage};
  map.pages[map.startPage].reachable = true;
  while (!todo.empty()) {
    const size_t p = todo.back();
    todo.pop_back();
    for (size_t to : out[p])
      if (!map.pages[to].reachable) {
        map.pages[to].reachable = true;
        todo.push_back(to);
      }
  }
  return map;
}

StoryMap BuildStoryMap(const std::string& gameFolder, const std::string& codePage) {
  PosixFiles disk;
  SnapshotFiles files(disk);
  HeadlessServices services(files);
  GameOptions options;
  options.gameFolder = gameFolder;
  options.codePage = codePage;
  Game game(services.platform(), options);
  if (!files.FileExists(gameFolder + "config.ini")) throw RuntimeFault("the game folder has no config.ini");
  IniDocument config(files, files.Resolve(gameFolder + "config.ini"));
  const std::string storyName = config.ReadText("Files", "StoryFile", "story.qst");
  if (!files.FileExists(gameFolder + storyName)) throw RuntimeFault("the story file " + storyName + " is missing");
  const std::string storyPath = files.Resolve(gameFolder + storyName);
  IniDocument story(files, storyPath);
  LoadScriptLibrary(game);
  std::unique_ptr<IniDocument> inventory;
  if (files.FileExists(gameFolder + "Scripts\\inventory.inv"))
    inventory = std::make_unique<IniDocument>(files, files.Resolve(gameFolder + "Scripts\\inventory.inv"));
  return BuildStoryMap(config, story, StorySectionNames(files, storyPath), *game.scripts, inventory.get(), TextCodec(codePage));
}

}  // namespace velmora
