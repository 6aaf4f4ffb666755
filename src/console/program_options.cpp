#include "console/program_options.h"

#include <iconv.h>

#include "console/steps.h"

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

}  // namespace

bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions& options, std::string& error) {
  bool modeGiven = false;
  auto setMode = [&](ProgramOptions::Mode mode, const std::string& name) {
    if (modeGiven && options.mode != mode) {
      error = name + " cannot be combined with --text, --replay or --check";
      return false;
    }
    modeGiven = true;
    options.mode = mode;
    return true;
  };

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
    // --name VALUE or --name=VALUE
    std::string name = arg;
    std::string value;
    bool hasValue = false;
    if (const size_t eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasValue = true;
    }
    auto takeValue = [&]() {
      if (hasValue) return true;
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++i];
      return true;
    };
    auto noValue = [&]() {
      if (hasValue) error = name + " takes no value";
      return !hasValue;
    };

    if (name == "--help") {
      if (!noValue()) return false;
      options.help = true;
    } else if (name == "--version") {
      if (!noValue()) return false;
      options.version = true;
    } else if (name == "--text") {
      if (!noValue() || !setMode(ProgramOptions::Mode::kText, name)) return false;
    } else if (name == "--check") {
      if (!noValue() || !setMode(ProgramOptions::Mode::kCheck, name)) return false;
    } else if (name == "--replay") {
      if (!takeValue() || !setMode(ProgramOptions::Mode::kReplay, name)) return false;
      options.replayFile = value;
    } else if (name == "--game") {
      if (!takeValue()) return false;
      options.gameFolder = value;
    } else if (name == "--no-audio") {
      if (!noValue()) return false;
      options.noAudio = true;
    } else if (name == "--audio-fallback") {
      if (!noValue()) return false;
      options.audioFallback = true;
    } else if (name == "--codepage") {
      if (!takeValue()) return false;
      if (!KnownCodePage(value)) {
        error = "unknown code page: " + value;
        return false;
      }
      options.codePage = value;
    } else if (name == "--soundfont") {
      if (!takeValue()) return false;
      options.soundfont = value;
    } else {
      error = "unknown option: " + name;
      return false;
    }
    if ((name == "--replay" || name == "--game" || name == "--soundfont") && value.empty()) {
      error = name + " needs a value";
      return false;
    }
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
             "  --text              in the terminal: the picture's name, the story text and numbered\n"
             "                      choices; type a number to choose, or a step below\n"
             "  --replay FILE       headless, on a virtual clock, from a file of steps (below); prints\n"
             "                      a transcript of every box, prompt and `show`\n"
             "  --check             check the game folder without playing it; one line per finding,\n"
             "                      exit status 1 when an error is found\n"
             "\n"
             "Options:\n"
             "  --game DIR          the game folder (default: the folder that holds this program)\n"
             "  --no-audio          play without sound: no audio device is needed\n"
             "  --audio-fallback    play without sound, saying so once, when no audio output opens\n"
             "                      (otherwise that ends the program with \"Audio initialization error\")\n"
             "  --codepage NAME     code page of the game's texts (default WINDOWS-1251; texts in\n"
             "                      UTF-8 are recognised by themselves)\n"
             "  --soundfont FILE    General MIDI soundfont for MIDI music (default: the system's)\n"
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
         "as the game is played.\n"
         "\n"
         "Exit status: 0 after play, 1 when start-up ended the program (see LastStart.log) or\n"
         "--check found an error, 2 for a wrong command line, an unreadable replay file or no\n"
         "display for the windows.\n";
}

}  // namespace velmora
