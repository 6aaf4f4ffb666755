#pragma once
// Replays: a game played headlessly from a file of steps on a virtual clock, so every
// run gives the same transcript. Time passes only at `wait` steps (and in $sleep);
// timers then fire in time order. Steps run only between events, as a player's clicks do.
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/platform.h"
#include "console/steps.h"

namespace velmora {

class Game;
class VirtualClock;
class ConsoleDialogs;
struct GameOptions;
struct ProgramOptions;

// Reads a replay file. False when a line is no step; `errors` then says which ("line N:
// reason") and nothing should be played.
bool ReadReplay(std::istream& in, std::vector<Step>& steps, std::vector<std::string>& errors);

class ReplayRunner {
 public:
  ReplayRunner(Game& game, VirtualClock& clock, ConsoleDialogs& dialogs, std::ostream& out);
  // Runs the steps on a game that has started, echoing each ("> step") into the
  // transcript. Stops early when the main window closes (`quit`, $exit).
  void Run(const std::vector<Step>& steps);
  // Lets ms of virtual time pass; due timers fire in time order.
  void Wait(int64_t ms);
  // Fires the timers that are due now, as the event loop does between events.
  void FireDue();

 private:
  Game& game_;
  VirtualClock& clock_;
  std::ostream& out_;
  StepRunner steps_;
};

// The whole run as the program makes it: start-up, the steps, then the shutdown that the
// close box runs (also when the steps run out). Returns the exit status: 1 when start-up
// ended the program, else 0.
int PlayReplay(Game& game, VirtualClock& clock, ConsoleDialogs& dialogs, const std::vector<Step>& steps,
               std::ostream& out);

// Start-up for front ends without windows: StartGame, then the other windows' creation.
// False when start-up ended the program (a line on `out` says so).
bool StartWithoutWindows(Game& game, std::ostream& out);

// The silent engines a replay plays on, made on its virtual clock: the audio module's
// natively, linked into the program under WebAssembly.
struct ReplayEngines {
  std::unique_ptr<AudioLibrary> (*music)(Clock& clock);
  std::unique_ptr<EffectDevice> (*effects)(Clock& clock);
};

// `--replay FILE` as every build of the program plays it: reads options.replayFile and
// plays it with `platform`'s files, pictures and libraries, on the replay's own clock,
// engines and dialogs, printing the transcript on `out`. Returns the exit status: 2 for a
// replay file that cannot be read or holds a wrong step (`err` says which), else as
// PlayReplay.
int PlayReplayFile(const ProgramOptions& options, Platform platform, const GameOptions& gameOptions,
                   const ReplayEngines& engines, std::ostream& out, std::ostream& err);

}  // namespace velmora
