#include "console/program_options.h"

#include <iconv.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "console/steps.h"
#include "velmora_version.h"

namespace velmora {

namespace {

bool KnownCodePage(const std::string& name) {
  iconv_t cd = iconv_open("UTF-8", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

std::string Indented(const std::string& lines) {
  std::string out;
  size_t start = 0;
  for (size_t end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1)
    out += "  " + lines.substr(start, end + 1 - start);
  return out;
}

// Options that stand alone, and options that take a value (--name VALUE or --name=VALUE).
const std::pair<const char*, bool ProgramOptions::*> kSwitches[] = {
    {"--help", &ProgramOptions::help},
    {"--version", &ProgramOptions::version},
    {"--no-audio", &ProgramOptions::noAudio},
    {"--audio-fallback", &ProgramOptions::audioFallback},
    {"--require-audio", &ProgramOptions::requireAudio},
    {"--copy", &ProgramOptions::copyGame},
    {"--in-game-folder", &ProgramOptions::inGameFolder},
    {"--continue", &ProgramOptions::resume},
    {"--trust-plugins", &ProgramOptions::trustPlugins},
    {"--author", &ProgramOptions::author},
    {"--self-voicing", &ProgramOptions::selfVoicing},
    {"--text", nullptr},
    {"--check", nullptr},
    {"--library", nullptr},
};
const std::pair<const char*, std::string ProgramOptions::*> kValued[] = {
    {"--replay", &ProgramOptions::replayFile},
    {"--export-web", &ProgramOptions::exportWebGame},
    {"--game", &ProgramOptions::gameFolder},
    {"--codepage", &ProgramOptions::codePage},
    {"--soundfont", &ProgramOptions::soundfont},
    {"--max-commands", &ProgramOptions::maxCommands},
};
// The ways to play; at most one may be named.
const std::pair<const char*, ProgramOptions::Mode> kModes[] = {
    {"--text", ProgramOptions::Mode::kText},
    {"--replay", ProgramOptions::Mode::kReplay},
    {"--check", ProgramOptions::Mode::kCheck},
    {"--library", ProgramOptions::Mode::kLibrary},
    {"--map", ProgramOptions::Mode::kMap},
    {"--coverage", ProgramOptions::Mode::kCoverage},
    {"--export-web", ProgramOptions::Mode::kExportWeb},
};

bool IsOption(const std::string& arg) { return arg.size() >= 2 && arg.compare(0, 2, "--") == 0; }

// --map [FILE]: the file is the next argument unless that is an option. --coverage
// REPLAY...: the replays are the arguments up to the next option.
bool TakeAuthorOption(const std::vector<std::string>& args, size_t& i, const std::string& name,
                      const std::optional<std::string>& value, ProgramOptions& options, std::string& error) {
  if (name == "--map") {
    if (value) options.mapFile = *value;
    else if (i + 1 < args.size() && !IsOption(args[i + 1])) options.mapFile = args[++i];
    return true;
  }
  if (value) options.coverageReplays.push_back(*value);
  while (i + 1 < args.size() && !IsOption(args[i + 1])) options.coverageReplays.push_back(args[++i]);
  if (options.coverageReplays.empty()) {
    error = "--coverage needs at least one replay file";
    return false;
  }
  return true;
}

}  // namespace

bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions& options, std::string& error) {
  bool modeGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      options.gameArgs.insert(options.gameArgs.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    }
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
      options.gameArgs.push_back(arg);
      continue;
    }
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    std::optional<std::string> value;
    if (eq != std::string::npos) value = arg.substr(eq + 1);

    bool known = false;
    if (name == "--map" || name == "--coverage") {
      if (!TakeAuthorOption(args, i, name, value, options, error)) return false;
      known = true;
    }
    for (const auto& [option, flag] : kSwitches) {
      if (name != option) continue;
      if (value) {
        error = name + " takes no value";
        return false;
      }
      if (flag) options.*flag = true;
      known = true;
    }
    for (const auto& [option, field] : kValued) {
      if (name != option) continue;
      if (!value && i + 1 < args.size()) value = args[++i];
      if (!value || value->empty()) {
        error = name + " needs a value";
        return false;
      }
      if (name == "--max-commands" &&
          (value->size() > 18 || value->find_first_not_of("0123456789") != std::string::npos || std::stoll(*value) == 0)) {
        error = "--max-commands needs a whole number above 0";
        return false;
      }
      if (name == "--codepage" && !KnownCodePage(*value)) {
        error = "unknown code page: " + *value;
        return false;
      }
      options.*field = *value;
      known = true;
    }
    if (!known) {
      error = "unknown option: " + name;
      return false;
    }
    for (const auto& [option, mode] : kModes) {
      if (name != option) continue;
      // --map with --coverage draws the covered map.
      if ((name == "--map" && options.mode == ProgramOptions::Mode::kCoverage) ||
          (name == "--coverage" && options.mode == ProgramOptions::Mode::kMap)) {
        options.mode = ProgramOptions::Mode::kCoverage;
        continue;
      }
      if (modeGiven && options.mode != mode) {
        error = name + " cannot be combined with --text, --replay, --check, --library, --map, --coverage or --export-web";
        return false;
      }
      modeGiven = true;
      options.mode = mode;
    }
  }
  if (options.mode == ProgramOptions::Mode::kCoverage && options.mapFile.empty() &&
      std::find(args.begin(), args.end(), "--map") != args.end()) {
    error = "--map with --coverage needs a FILE (the table goes to standard output)";
    return false;
  }
  if (options.mode == ProgramOptions::Mode::kExportWeb && options.gameArgs.size() != 1) {
    error = "--export-web needs the game folder and the folder to write the site to";
    return false;
  }
  if (options.mode == ProgramOptions::Mode::kLibrary && !options.gameFolder.empty()) {
    error = "--library cannot be combined with --game";
    return false;
  }
  return true;
}

std::string UsageText() {
  return std::string(
             "Usage: velmora-player [OPTION]... [--] [GAME ARGUMENT]...\n"
             "Plays a branching story from a game folder: config.ini, the story file, the tracklist,\n"
             "Scripts\\, Images\\ and Music\\. Double-click a choice (or select it and press Enter) to go\n"
             "on; the title bar's \"Audio...\" sets the music volume and balance, \"Инвентарь\" opens\n"
             "the inventory.\n"
             "\n"
             "How to play (one of them; the windows by default):\n"
             "  --library           the game library: the games you added, to play one of them;\n"
             "                      also what opens when no game is named and none is beside\n"
             "                      this program\n"
             "  --text              in the terminal: the picture's name, the story text and numbered\n"
             "                      choices; type a number to choose, or a step below\n"
             "  --replay FILE       headless, on a virtual clock, from a file of steps (below); prints\n"
             "                      a transcript of every box, prompt and `show`\n"
             "  --check             check the game folder without playing it; one line per finding,\n"
             "                      then a summary; exit status 1 when an error is found\n"
             "  --export-web GAME OUT  publish the game folder GAME as a static web site in the new\n"
             "                      folder OUT: the page, the browser player and the game's files\n"
             "                      (serve it with any web server; browsers do not play it from file://)\n"
             "\n"
             "For authors:\n"
             "  --map [FILE]        draw the story as a graph: DOT on standard output, or to FILE\n"
             "                      (laid out as SVG or PNG when FILE ends in .svg or .png)\n"
             "  --author            with the windows: take up edits of the story file, the scripts,\n"
             "                      messages.ini and inventory.inv as they are saved (live reload)\n"
             "  --coverage REPLAY...  play each replay and tell which pages were shown and which\n"
             "                      choices taken; with --map FILE, the map with them coloured;\n"
             "                      exit status 1 when a page the map reaches was never shown\n"
             "\n"
             "Options:\n"
             "  --game DIR          the game folder (default: the folder that holds this program)\n"
             "  --copy              play from your own copy of the game folder (below), even when\n"
             "                      the folder is writable, so the folder stays as it is\n"
             "  --continue          with the windows: go on from where the game was last closed\n"
             "                      (its automatic save)\n"
             "  --in-game-folder    play with the game folder as the current directory, so that\n"
             "                      LastStart.log and plugins/ are the game's own (a copy is\n"
             "                      always played so)\n"
             "  --no-audio          play without sound: no audio device is needed\n"
             "                      (when no audio output opens, the game plays without sound\n"
             "                      anyway and says so once)\n"
             "  --require-audio     no audio output ends the program with \"Audio initialization\n"
             "                      error\", for authors who test sound\n"
             "  --self-voicing      the windows speak the story aloud (remembered; V turns it off)\n"
             "  --codepage NAME     code page of the game's texts (default WINDOWS-1251; texts in\n"
             "                      UTF-8 are recognised by themselves)\n"
             "  --soundfont FILE    General MIDI soundfont for MIDI music (default: the system's)\n"
             "  --max-commands N    with --replay: a script chain (everything one choice, timer or\n"
             "                      button runs) stops after N commands (default 100000000); the\n"
             "                      windows and --text ask instead whether to stop a script that\n"
             "                      has run for 3 seconds\n"
             "  --trust-plugins     load the game's plug-ins without asking (otherwise the player\n"
             "                      asks once for each, by file name and content; replays load them\n"
             "                      and --check loads none)\n"
             "  --help, --version   print this text or the version, and exit\n"
             "\n"
             "Game arguments: every argument that is no option is the game's; when the first is\n"
             "\"debug\" (any letter case), the story text's width is written to config.ini\n"
             "[DEBUG] MEMO_WIDTH at exit.\n"
             "\n"
             "Steps of --replay files and of --text, one a line (# starts a comment):\n") +
         Indented(kStepHelp) +
         "In the terminal a bare number chooses, an empty answer cancels a prompt, and the end\n"
         "of input or Ctrl+C quits as the close box does.\n"
         "\n"
         "Files: LastStart.log (the run's log) and plugins/ are in the current directory;\n"
         "config.ini, the story file and Scripts/inventory.sav in the game folder are written to\n"
         "as the game is played. A game folder that is not writable (or any, with --copy) is\n"
         "copied on first play to $XDG_DATA_HOME/velmora-player/games/ (default\n"
         "~/.local/share) and played there, with the copy as current directory; later plays\n"
         "go on in that copy. The library is kept in $XDG_CONFIG_HOME/velmora-player/library.ini\n"
         "(default ~/.config), the answers about plug-ins in plugins.ini beside it.\n"
         "\n"
         "Exit status: 0 after play, 1 when start-up ended the program (see LastStart.log) or\n"
         "--check found an error, 2 for a wrong command line, no game to play, an unreadable\n"
         "replay file, a copy that could not be made or no display for the windows.\n";
}

std::optional<int> ReadCommandLine(int argc, char** argv, ProgramOptions& options, std::ostream& out,
                                   std::ostream& err) {
  std::string error;
  if (!ParseProgramOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    err << "velmora-player: " << error << " (see --help)\n";
    return 2;
  }
  if (options.help) {
    out << UsageText();
    return 0;
  }
  if (options.version) {
    out << "Velmora Player v " VELMORA_VERSION " (velmora-player " << VELMORA_VERSION_FULL << ")\n";
    return 0;
  }
  return std::nullopt;
}

}  // namespace velmora
