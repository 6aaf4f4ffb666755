#pragma once
// The program's command line. Options start with "--"; every other argument is the
// game's own (the first may be "debug"), and "--" ends the options.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace velmora {

struct ProgramOptions {
  enum class Mode { kWindows, kText, kReplay, kCheck, kLibrary, kMap, kCoverage, kExportWeb };
  Mode mode = Mode::kWindows;
  std::string replayFile;
  std::string mapFile;          // --map FILE; empty: DOT to standard output
  std::vector<std::string> coverageReplays;  // --coverage: the replay files
  std::string exportWebGame;  // --export-web GAME OUT: the game; OUT is the one other argument
  std::string gameFolder;  // as given; empty: the folder that holds the program file
  bool noAudio = false;        // play silently
  bool audioFallback = false;  // accepted from older command lines: silence is the default
  bool requireAudio = false;   // no audio output ends the program ("Audio initialization error")
  bool copyGame = false;       // play from the user's copy even when the folder is writable
  bool inGameFolder = false;   // play with the game folder as the current directory
  bool resume = false;         // --continue: the windows go on from the automatic slot
  bool trustPlugins = false;   // load the game's plug-ins without asking
  bool author = false;         // author mode: the windows take up edits of the game's files
  bool selfVoicing = false;    // turn self-voicing on in the windows (and keep it on)
  std::string codePage = "WINDOWS-1251";
  std::string soundfont;
  std::string maxCommands;     // --replay: the bound on commands per script chain, in decimal
  std::vector<std::string> gameArgs;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name. False with the reason in `error`.
bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions& options, std::string& error);

// --help: a short manual.
std::string UsageText();

// The program's first step, in every build: parses its arguments and answers --help and
// --version on `out`, or a wrong command line on `err`. Returns the exit status when that
// is all the program does (0 after an answer, 2 after an error), else nothing.
std::optional<int> ReadCommandLine(int argc, char** argv, ProgramOptions& options, std::ostream& out,
                                   std::ostream& err);

}  // namespace velmora
