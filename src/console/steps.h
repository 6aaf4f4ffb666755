#pragma once
// The steps of replay files and of the terminal player, one a line:
//   choose N | choose none | wait MS | answer TEXT | answer cancel | cancel
//   inventory | inventory select N | inventory use | inventory wear | inventory close
//   audio | audio volume N | audio balance N | audio ok | audio close
//   save N | load N | back | import N FILE
//   show | history | quit
// Words are matched without regard to ASCII letter case. A line whose first non-blank
// character is '#' is a comment, and so is the rest of a line from a '#' that follows a
// blank, except on `answer` lines, whose text is taken as written.
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class Game;
class ConsoleDialogs;
class SaveGames;

enum class StepKind {
  kNone,  // a blank line or a comment
  kChoose,
  kChooseNone,
  kWait,
  kAnswer,
  kCancel,
  kInventory,
  kInventorySelect,
  kInventoryUse,
  kInventoryWear,
  kInventoryClose,
  kAudio,
  kAudioVolume,
  kAudioBalance,
  kAudioOk,
  kAudioClose,
  kSave,
  kLoad,
  kBack,
  kImport,
  kShow,
  kHistory,
  kQuit,
  kHelp,  // the terminal player's list of steps
};

struct Step {
  StepKind kind = StepKind::kNone;
  int64_t number = 0;  // choose, wait, inventory select, audio volume/balance, save/load slot
  std::string text;    // answer (UTF-8), import's file
  std::string source;  // the line without its comment, for the transcript
};

// False, with the reason in `error`, for a line that is no step. With `bareNumbers` a
// line holding only a number chooses (what a person types).
bool ParseStep(std::string_view line, Step& step, std::string& error, bool bareNumbers = false);

// The steps, one a line, for --help and the terminal player's `help`.
extern const char* const kStepHelp;

// Fires the timers that are due now, as an event loop does between events: one at a
// time, so that a timer whose handler closes the main window stops the rest.
void FireDueTimers(Game& game);

// Runs steps on a game that has started. Waiting is left to the front end: virtual time
// in replays, real time in the terminal.
class StepRunner {
 public:
  // Keeps the run's saved games and its way back from now on.
  StepRunner(Game& game, ConsoleDialogs& dialogs, std::ostream& out);
  ~StepRunner();
  std::function<void(int64_t ms)> wait;
  // For a person at a terminal: the inventory window without its place on a screen.
  bool forReader = false;
  void Run(const Step& step);
  void PrintLines(const std::vector<std::string>& lines);
  SaveGames& saves() { return *saves_; }

 private:
  void Choose(int64_t number);
  void Inventory(const Step& step);
  void Audio(const Step& step);
  Game& game_;
  ConsoleDialogs& dialogs_;
  std::ostream& out_;
  std::unique_ptr<SaveGames> saves_;
};

}  // namespace velmora
