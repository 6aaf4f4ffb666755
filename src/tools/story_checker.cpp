#include "tools/story_checker.h"

#include "base/paths.h"

#include <map>
#include <set>

#include "base/silent_platform.h"
#include "run/command_language.h"
#include "script/command_table.h"
#include "script/script_library.h"
#include "base/game.h"
#include "run/headless.h"
#include "base/ini_document.h"
#include "platform/files/posix_files.h"
#include "base/text.h"
#include "base/virtual_clock.h"
#include "tools/story_sections.h"
#include "tools/story_map.h"
#include "tools/story_shape_checks.h"

namespace velmora {

namespace {

std::string Lower(const std::string& s) { return AsciiLower(s); }

struct Checker {
  Checker(GameFiles& files, const std::string& folder) : files(files), folder(folder) {}

  GameFiles& files;
  std::string folder;
  CheckReport report;
  std::vector<CheckFinding>& findings = report.findings;
  std::set<std::string> reported;
  std::set<std::string> picturesChecked;

  void Report(bool error, const std::string& file, const std::string& message) {
    if (!reported.insert(file + "\n" + message).second) return;
    findings.push_back({error, file, message});
  }

  bool Exists(const std::string& rel) { return files.FileExists(folder + rel); }
  bool PictureExists(const std::string& rel) {
    picturesChecked.insert(AsciiLower(files.Resolve(folder + rel)));
    return Exists(rel);
  }
};

// "1 page", "2 pages".
std::string Counted(size_t n, const std::string& noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

// Item names that a text reference ($c_, $cm_, $d_) may start with; the reference has no
// end marker, so a defined name that is a prefix of what follows counts as a match.
bool ReferenceMatches(const std::string& rest, const std::vector<std::string>& items) {
  for (const auto& name : items)
    if (!name.empty() && rest.compare(0, name.size(), name) == 0) return true;
  return false;
}

std::string ReferenceWord(const std::string& text, size_t from) {
  size_t e = from;
  while (e < text.size() && static_cast<unsigned char>(text[e]) > ' ' && text[e] != '"' && text[e] != ',' &&
         text[e] != '.' && text[e] != '!' && text[e] != '?' && text[e] != ')' && text[e] != ';' && text[e] != ':')
    ++e;
  return text.substr(from, e - from);
}

}  // namespace

std::string FormatFinding(const CheckFinding& f) {
  return f.file + (f.error ? ": error: " : ": warning: ") + f.message;
}

std::string FormatSummary(const CheckReport& report) {
  size_t errors = 0, warnings = 0;
  for (const CheckFinding& f : report.findings) (f.error ? errors : warnings)++;
  std::string verdict = errors == 0 && warnings == 0 ? "all is well"
                        : errors == 0                ? "no errors, " + Counted(warnings, "warning")
                        : warnings == 0              ? Counted(errors, "error")
                                                     : Counted(errors, "error") + " and " + Counted(warnings, "warning");
  const CheckedCounts& n = report.checked;
  return verdict + ": " + Counted(n.pages, "page") + ", " + Counted(n.scripts, "script") + ", " + Counted(n.items, "item") +
         ", " + Counted(n.tracks, "track") + " and " + Counted(n.pictures, "picture") + " checked";
}

CheckReport CheckStory(const std::string& gameFolder) {
  PosixFiles files;
  Checker c(files, gameFolder);
  HeadlessServices services(files);
  GameOptions options;
  options.gameFolder = gameFolder;
  Game game(services.platform(), options);

  if (!c.Exists("config.ini")) {
    c.Report(true, "config.ini", "the file is missing; the player cannot start");
    return c.report;
  }
  // What start-up refuses besides a missing file: a name leading out of the folder, a file
  // too large to read.
  auto problem = [&](const std::string& name) {
    return GameFileProblem(files, gameFolder, files.Resolve(gameFolder + name), IniDocument::kMaxFileSize);
  };
  if (const std::string p = problem("config.ini"); !p.empty()) {
    c.Report(true, "config.ini", "the file " + p + "; the player cannot start");
    return c.report;
  }
  IniDocument config(files, files.Resolve(gameFolder + "config.ini"));
  const std::string storyName = config.ReadText("Files", "StoryFile", "story.qst");
  const std::string musicName = config.ReadText("Files", "MusicList", "music.lst");
  const std::string storyProblem = problem(storyName), musicProblem = problem(musicName);
  if (!storyProblem.empty()) c.Report(true, "config.ini", "story file " + storyName + " " + storyProblem);
  else if (!c.Exists(storyName)) c.Report(true, "config.ini", "story file " + storyName + " is missing");
  if (!musicProblem.empty()) c.Report(true, "config.ini", "tracklist " + musicName + " " + musicProblem);
  else if (!c.Exists(musicName)) c.Report(true, "config.ini", "tracklist " + musicName + " is missing");
  if (!storyProblem.empty() || !c.Exists(storyName)) return c.report;

  const std::string storyPath = files.Resolve(gameFolder + storyName);
  IniDocument story(files, storyPath);
  std::unique_ptr<IniDocument> tracks;
  if (musicProblem.empty() && c.Exists(musicName)) tracks = std::make_unique<IniDocument>(files, files.Resolve(gameFolder + musicName));

  LoadScriptLibrary(game);
  const std::string scriptFile = "Scripts\\Scripts.bsf";
  auto scriptExists = [&](const std::string& name) { return game.scripts->FindScript(name) >= 0; };

  // Names scripts store strings in: a $goto or $run naming one of them is resolved at run time.
  std::set<std::string> stringVars;
  std::set<std::string> labelsDefined;
  for (const auto& s : game.scripts->scripts) {
    const auto& t = s.tokens.tokens;
    for (size_t i = 0; i + 1 < t.size(); ++i) {
      if (SameCommand(t[i], "$string.set") || SameCommand(t[i], "$string.new") || SameCommand(t[i], "$string.get"))
        stringVars.insert(t[i + 1]);
      if (SameCommand(t[i], ".label")) labelsDefined.insert(Lower(t[i + 1]));
    }
  }

  // Item definitions.
  std::vector<std::string> items;
  std::unique_ptr<IniDocument> inv;
  const std::string invFile = "Scripts\\inventory.inv";
  if (c.Exists(invFile)) {
    inv = std::make_unique<IniDocument>(files, files.Resolve(gameFolder + invFile));
    int32_t total = inv->ReadInteger("Inventory", "TotalItems", 0);
    for (int32_t n = 0; n < total && n < 100000; ++n) {
      const std::string sec = "Item" + std::to_string(n);
      if (!inv->SectionPresent(sec)) {
        c.Report(true, invFile, "section " + sec + " is missing (TotalItems=" + std::to_string(total) + ")");
        continue;
      }
      const std::string name = inv->ReadText(sec, "Name", "ITEM_NAME");
      items.push_back(name);
      for (const char* key : {"Script", "EquipScript", "UnEquipScript"}) {
        std::string script = inv->ReadText(sec, key, "");
        if (script.empty()) continue;
        if (!scriptExists(script))
          c.Report(true, invFile, "item " + name + ": " + key + " names script " + script + ", which the library lacks");
      }
      const std::string pic = inv->ReadText(sec, "Picture", "default.jpg");
      if (!c.PictureExists("Images\\" + pic)) c.Report(true, invFile, "item " + name + ": picture Images\\" + pic + " is missing");
    }
    if (!items.empty() && !c.PictureExists("Images\\default.jpg"))
      c.Report(true, invFile, "the inventory window's neutral picture Images\\default.jpg is missing");
  }

  std::set<std::string> pagesReached;
  auto pagePresent = [&](const std::string& page) { return story.SectionPresent(page); };
  auto needPage = [&](const std::string& page, const std::string& file, const std::string& where) {
    pagesReached.insert(Lower(page));
    if (!pagePresent(page)) c.Report(true, file, "page " + page + " named by " + where + " has no section");
  };
  auto needScript = [&](const std::string& script, const std::string& file, const std::string& where) {
    if (!scriptExists(script)) c.Report(true, file, "script " + script + " named by " + where + " is not in the library");
  };
  std::set<std::string> tracksChecked;
  auto needTrack = [&](const std::string& track, const std::string& file, const std::string& where) {
    // Follows the chain so every track it can reach is checked once.
    std::string name = track;
    while (name != "nil" && tracksChecked.insert(name).second) {
      if (!tracks) return;
      const std::string f = tracks->ReadText(name, "Track", "nil");
      if (f == "nil") {
        c.Report(true, musicName, "track " + name + " (from " + where + ") has no Track file; the player shows \"Sound " +
                                      name + " not found!\"");
      } else if (!c.Exists("Music\\" + f)) {
        c.Report(true, musicName, "track " + name + ": file Music\\" + f + " is missing");
      }
      name = tracks->ReadText(name, "NextTrack", "nil");
    }
    (void)file;
  };
  std::set<std::string> soundsChecked;
  auto needSound = [&](const std::string& sound, const std::string& file, const std::string& where) {
    if (!tracks) return;
    soundsChecked.insert(sound);
    const std::string f = tracks->ReadText(sound, "Track", "");
    if (f.empty()) c.Report(true, file, "sound " + sound + " named by " + where + " has no section or Track key in " + musicName);
    else if (f == "nil") c.Report(true, file, "sound " + sound + " named by " + where + " has Track=nil");
    else if (!c.Exists("Music\\" + f)) c.Report(true, musicName, "sound " + sound + ": file Music\\" + f + " is missing");
  };
  auto needItem = [&](const std::string& item, const std::string& file, const std::string& where) {
    for (const auto& n : items)
      if (n == item) return;
    c.Report(true, file, "item " + item + " named by " + where + " has no definition");
  };
  auto checkTextRefs = [&](const std::string& text, const std::string& file, const std::string& where) {
    for (const char* prefix : {"$cm_", "$c_", "$d_"}) {
      const std::string p = prefix;
      for (size_t at = text.find(p); at != std::string::npos; at = text.find(p, at + 1)) {
        if (p == "$c_" && at > 0 && text.compare(at - 1, 4, "$cm_") == 0) continue;
        const std::string rest = text.substr(at + p.size());
        if (!ReferenceMatches(rest, items))
          c.Report(true, file, where + " refers to item " + ReferenceWord(text, at + p.size()) + " (" + p +
                                   "), which has no definition");
      }
    }
  };

  // Start-up.
  needPage(config.ReadText("Start", "StartPage", "gamestart"), "config.ini", "[Start] StartPage");
  const std::string startMusic = config.ReadText("Start", "StartMusic", "nil");
  if (startMusic != "nil") needTrack(startMusic, "config.ini", "[Start] StartMusic");
  if (tracks) {
    int32_t count = tracks->ReadInteger("WriterList", "Count", 0);
    for (int32_t i = 0; i < count && i < 100000; ++i) {
      const std::string key = "Track" + std::to_string(i);
      const std::string name = tracks->ReadText("WriterList", key, "nil");
      if (name == "nil") continue;
      if (!tracks->SectionPresent(name)) c.Report(true, musicName, "[WriterList] " + key + " names " + name + ", which has no section");
    }
  }

  // The story's list of pages, which start-up checks one by one.
  const int32_t listed = story.ReadInteger("WriterList", "Count", 0);
  for (int32_t i = 0; i < listed && i < 100000; ++i) {
    const std::string key = "Page" + std::to_string(i);
    const std::string page = story.ReadText("WriterList", key, "nil");
    if (!pagePresent(page))
      c.Report(false, storyName, "[WriterList] " + key + " names " + page + ", which has no section; start-up warns \"" +
                                     page + " ---not found!\"");
  }

  // Scripts.
  for (const auto& s : game.scripts->scripts) {
    const auto& t = s.tokens.tokens;
    const std::string where = "script " + s.name;
    for (size_t i = 0; i + 1 < t.size(); ++i) {
      const std::string& cmd = t[i];
      const std::string& arg = t[i + 1];
      bool isVar = stringVars.count(arg) > 0;
      if (SameCommand(cmd, "$goto") && !isVar) needPage(arg, scriptFile, where + " ($goto)");
      else if (SameCommand(cmd, "$form.LoadTextFromPage") && !pagePresent(arg))
        c.Report(true, scriptFile, "page " + arg + " named by " + where + " ($form.LoadTextFromPage) has no section");
      else if (SameCommand(cmd, "$run") && !isVar) needScript(arg, scriptFile, where + " ($run)");
      else if (SameCommand(cmd, "$jump") && !labelsDefined.count(Lower(arg)))
        c.Report(true, scriptFile, "label " + arg + " jumped to by " + where + " is never defined");
      else if (SameCommand(cmd, "$player.playtrack") && !isVar) needTrack(arg, scriptFile, where);
      else if (SameCommand(cmd, "$player.playsound") && !isVar) needSound(arg, scriptFile, where);
      else if (SameCommand(cmd, "$action.SetState") && !pagePresent(arg))
        c.Report(true, scriptFile, "page " + arg + " named by " + where + " ($action.SetState) has no section");
      else if (cmd.size() > 11 && SameCommand(cmd.substr(0, 11), "$inventory.") && !SameCommand(cmd, "$inventory.show") &&
               !SameCommand(cmd, "$inventory.hide") && LanguageCommands().Find(cmd) >= 0)
        needItem(arg, scriptFile, where + " (" + cmd + ")");
    }
  }

  // Pages.
  const std::string storyFile = storyName;
  const std::vector<std::string> pages = StoryPageNames(story, StorySectionNames(files, storyPath));
  for (const auto& page : pages) {
    const std::string where = "page " + page;
    int32_t lines = story.ReadInteger(page, "textsize", 0);
    for (int32_t i = 0; i < lines && i < 100000; ++i)
      checkTextRefs(story.ReadText(page, "Line" + std::to_string(i), ""), storyFile, where);
    const std::string pic = story.ReadText(page, "QuestPicture", "nil");
    if (pic != "nil" && !c.PictureExists("\\Images\\" + pic)) c.Report(true, storyFile, where + ": picture Images\\" + pic + " is missing");
    int32_t actions = story.ReadInteger(page, "ActionsCount", 0);
    for (int32_t n = 0; n < actions && n < 100000; ++n) {
      const std::string a = "Action" + std::to_string(n);
      needScript(story.ReadText(page, a + ".Script", ""), storyFile, where + " (" + a + ")");
      int32_t lc = story.ReadInteger(page, a + ".LinesCount", 0);
      for (int32_t m = 0; m < lc && m < 100000; ++m)
        checkTextRefs(story.ReadText(page, a + ".Line" + std::to_string(m), ""), storyFile, where + " (" + a + ")");
    }
    if (story.ReadBool(page, "Page.Cutscene", false)) {
      const std::string action = story.ReadText(page, "Page.Action", "nil");
      const std::string param = story.ReadText(page, "Page.Param", "nil");
      const std::string w = where + " (page action " + action + ")";
      if (SameCommand(action, "$goto")) needPage(param, storyFile, w);
      else if (SameCommand(action, "$run")) needScript(param, storyFile, w);
      else if (SameCommand(action, "$player.playtrack")) needTrack(param, storyFile, w);
      else if (SameCommand(action, "$player.playsound")) needSound(param, storyFile, w);
      else if (SameCommand(action, "$start")) pagesReached.insert(Lower(config.ReadText("Start", "StartPage", "gamestart")));
    }
    if (story.ReadBool(page, "Page.RequireFastAnswer", false))
      needScript(story.ReadText(page, "Page.FastScript", "nil"), storyFile, where + " (Page.FastScript)");
  }
  for (const auto& page : pages)
    if (!pagesReached.count(Lower(page)))
      c.Report(false, storyFile, "page " + page + " is not reached by any $goto, page action or StartPage");

  // The story's shape: dead ends, scripts, labels and variables nothing brings to life.
  const StoryMap map = BuildStoryMap(config, story, StorySectionNames(files, storyPath), *game.scripts, inv.get(),
                                     TextCodec(game.options.codePage));
  for (CheckFinding& f : CheckStoryShape(map, *game.scripts, storyFile, scriptFile)) c.Report(f.error, f.file, f.message);

  CheckedCounts& n = c.report.checked;
  n.pages = pages.size();
  n.scripts = game.scripts->scripts.size();
  n.items = items.size();
  n.tracks = tracksChecked.size() + soundsChecked.size();
  n.pictures = c.picturesChecked.size();
  return c.report;
}

}  // namespace velmora
