#include "console/terminal_player.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "audio/audio_window_state.h"
#include "console/console_dialogs.h"
#include "console/line_reader.h"
#include "console/replay_runner.h"
#include "console/screen_text.h"
#include "console/steps.h"
#include "inventory/inventory_window_state.h"
#include "base/game.h"
#include "base/stop_signals.h"
#include "base/main_window_state.h"
#include "base/text.h"
#include "base/visible_text.h"
#include "save/save_games.h"
#include "run/chain_question.h"
#include "run/startup.h"

namespace velmora {

namespace {

const char kTerminalHelp[] =
    "Type the number of a choice to take it. Other commands:\n"
    "  show             the page again (picture: with its picture's file name)\n"
    "  inventory        the items you carry; then inventory select N, inventory use,\n"
    "                   inventory wear, inventory close\n"
    "  audio            the music's volume and balance; then audio volume N (0 to 100),\n"
    "                   audio balance N (-100 to 100), audio ok, audio close\n"
    "  qs, ql           quick save, quick load\n"
    "  continue         load the run as the windows last closed it\n"
    "  save N, load N   save into slot N (1 to 99), load from it\n"
    "  saves            the list of saves\n"
    "  back             back to before the last choice (again to go further)\n"
    "  history          the story so far\n"
    "  wait MS          let MS milliseconds pass\n"
    "  clear            clear the screen and show the page\n"
    "  quit             end the game (Ctrl+D and Ctrl+C too); it keeps its place\n"
    "When the game asks a question, type the answer; an empty line cancels.\n";

std::string Trimmed(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t\r");
  if (start == std::string::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t\r") + 1 - start);
}

// The terminal's width in columns: the terminal's own, else $COLUMNS, else 80.
int TerminalWidth() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col >= 20) return size.ws_col;
  if (const char* columns = std::getenv("COLUMNS")) {
    const int n = std::atoi(columns);
    if (n >= 20 && n <= 1000) return n;
  }
  return 80;
}

std::string SavedWhen(int64_t seconds) {
  const std::time_t when = static_cast<std::time_t>(seconds);
  std::tm local{};
  char text[64] = "";
  if (localtime_r(&when, &local)) std::strftime(text, sizeof text, "%x %H:%M", &local);
  return text;
}

std::string PlayedWords(int64_t ms) {
  const int64_t minutes = ms / 60000;
  if (minutes < 1) return "under 1 min";
  if (minutes < 60) return std::to_string(minutes) + " min";
  return std::to_string(minutes / 60) + " h" + (minutes % 60 ? " " + std::to_string(minutes % 60) + " min" : "");
}

class TerminalPlayer {
 public:
  TerminalPlayer(Game& game, ConsoleDialogs& dialogs, int inFd, std::ostream& out)
      : game_(game), out_(out), reader_(inFd, StopSignals::WakeFd()), steps_(game, dialogs, out), person_(isatty(inFd) != 0) {
    steps_.wait = [this](int64_t ms) { Wait(ms); };
    steps_.forReader = true;
    dialogs.inputEnded = false;
    dialogs.askPerson = [this, &dialogs]() -> std::optional<std::string> {
      auto line = NextLine();
      if (!line) dialogs.inputEnded = true;
      if (!line || line->empty()) return std::nullopt;  // an empty answer and Cancel are the same to a game
      return line;
    };
    // The reader never sees the log: a broken game says so where they look.
    game_.onMissing = [this](Game::Missing what, const std::string& name) {
      static const char* const kWhat[] = {"page", "script", "label", "picture"};
      out_ << "(the game has no " << kWhat[static_cast<int>(what)] << " \"" << EscapeControls(game_.codec.ToUtf8(name))
           << "\"; LastStart.log says more)\n";
    };
    game_.mainWindow->onChanged = [this](unsigned parts) {
      if (parts & (MainWindowState::kCaption | MainWindowState::kStoryText | MainWindowState::kPicture | MainWindowState::kChoices))
        screenChanged_ = true;
    };
  }
  ~TerminalPlayer() {
    game_.mainWindow->onChanged = nullptr;
    game_.onMissing = nullptr;
  }

  void Run() {
    screenChanged_ = true;
    while (!game_.CloseRequested()) {
      auto line = NextLine();
      if (!line) break;
      if (RunOwnCommand(*line)) continue;
      Step step;
      std::string error;
      if (!ParseStep(*line, step, error, true)) {
        out_ << error << " (type help for the steps)\n";
        continue;
      }
      steps_.Run(step);
      // The inventory and audio steps print their window themselves.
      inventoryShown_ = game_.inventoryWindow->visible;
      audioShown_ = game_.audioWindow->visible;
    }
  }

 private:
  // The terminal's own commands (the rest are steps, as in replay files); false for a step.
  bool RunOwnCommand(const std::string& typed) {
    const std::string word = AsciiLower(Trimmed(typed));
    if (word == "help" || word == "?") {
      out_ << kTerminalHelp;
    } else if (word == "show" || word == "look") {
      ShowPage(false);
    } else if (word == "picture") {
      ShowPage(true);
    } else if (word == "qs" || word == "quicksave") {
      out_ << steps_.saves().Save(kQuickSlot).message << '\n';
    } else if (word == "ql" || word == "quickload") {
      out_ << steps_.saves().Load(kQuickSlot).message << '\n';
    } else if (word == "continue") {
      out_ << steps_.saves().Load(kAutoSlot).message << '\n';
    } else if (word == "saves") {
      ListSaves();
    } else if (word == "clear") {
      if (person_) out_ << "\x1b[H\x1b[2J";
      ShowPage(false);
    } else {
      return false;
    }
    out_.flush();
    return true;
  }

  void ShowPage(bool withPicture) { steps_.PrintLines(DescribePageForReader(game_, TerminalWidth(), withPicture)); }

  // Every slot that holds a save: the run as last closed, the quick slot, then by number.
  void ListSaves() {
    SaveGames& saves = steps_.saves();
    std::vector<SlotInfo> used;
    for (const int slot : {kAutoSlot, kQuickSlot})
      if (SlotInfo info = saves.Slot(slot); info.used) used.push_back(std::move(info));
    for (SlotInfo& info : saves.ListSlots())
      if (info.used && info.slot != kQuickSlot) used.push_back(std::move(info));
    if (used.empty()) {
      out_ << "no saves yet: qs saves quickly, save N into slot N\n";
      return;
    }
    std::vector<std::string> lines;
    for (const SlotInfo& info : used) {
      std::string line = info.slot == kQuickSlot ? "  quick  " : info.slot == kAutoSlot ? "  last closed  " : "  " + std::to_string(info.slot) + ".  ";
      if (info.status != SaveReadStatus::kOk) {
        lines.push_back(line + "(cannot be loaded: " + DescribeRefusal(info.status) + ")");
        continue;
      }
      const SaveHeader& h = info.header;
      line += h.name.empty() ? game_.codec.ToUtf8(h.pageCaption) : h.name;
      lines.push_back(line + "  (" + SavedWhen(h.savedAt) + ", played " + PlayedWords(h.playedMs) + ")");
    }
    steps_.PrintLines(lines);
    out_ << "load N loads slot N, ql the quick slot, continue the last closed\n";
  }

  // Prints what changed since the last look: the main window, and a window a script opened.
  // True when it printed anything.
  bool ShowChanges() {
    const bool changed = screenChanged_ || game_.inventoryWindow->visible != inventoryShown_ ||
                         game_.audioWindow->visible != audioShown_;
    if (screenChanged_) {
      screenChanged_ = false;
      out_ << '\n';
      ShowPage(false);
    }
    if (game_.inventoryWindow->visible != inventoryShown_) {
      inventoryShown_ = game_.inventoryWindow->visible;
      if (inventoryShown_) {
        std::vector<std::string> lines = DescribeInventoryWindow(game_);
        lines[0] = "inventory:";
        steps_.PrintLines(lines);
      }
    }
    if (game_.audioWindow->visible != audioShown_) {
      audioShown_ = game_.audioWindow->visible;
      if (audioShown_) steps_.PrintLines(DescribeAudioWindow(game_));
    }
    return changed;
  }

  // Milliseconds until the next timer is due; -1 when none can fire.
  int UntilNextTimer() {
    const auto next = game_.timers.NextDeadline();
    if (!next) return -1;
    return static_cast<int>(std::clamp<int64_t>(*next - game_.clock().NowMs(), 0, 60 * 60 * 1000));
  }

  // The event loop while waiting for a line: timers fire on time meanwhile (also inside
  // an input prompt, as a dialog's own loop lets them). nullopt: end of input, a stop signal, or
  // the window closed.
  std::optional<std::string> NextLine() {
    bool prompted = false;
    while (true) {
      FireDueTimers(game_);
      if (game_.CloseRequested() || StopSignals::Requested()) return std::nullopt;
      // A page that moved on by itself printed over the prompt: it comes back below.
      if (ShowChanges()) prompted = false;
      if (person_ && !prompted) {
        out_ << "> " << std::flush;
        prompted = true;
      }
      auto line = reader_.Read(UntilNextTimer());
      if (line) return line;
      if (reader_.AtEnd()) return std::nullopt;
    }
  }

  void Wait(int64_t ms) {
    const int64_t end = game_.clock().NowMs() + ms;
    while (true) {
      FireDueTimers(game_);
      if (game_.CloseRequested() || StopSignals::Requested()) return;
      ShowChanges();
      const int64_t now = game_.clock().NowMs();
      if (now >= end) return;
      const int untilTimer = UntilNextTimer();
      const int64_t span = untilTimer < 0 ? end - now : std::min<int64_t>(untilTimer, end - now);
      game_.clock().Sleep(std::max<int64_t>(span, 1));
    }
  }

  Game& game_;
  std::ostream& out_;
  LineReader reader_;
  StepRunner steps_;
  bool person_;
  bool screenChanged_ = false;
  bool inventoryShown_ = false;
  bool audioShown_ = false;
};

}  // namespace

void RunTerminal(Game& game, ConsoleDialogs& dialogs, int inFd, std::ostream& out) {
  {
    TerminalPlayer player(game, dialogs, inFd, out);
    player.Run();
  }
  dialogs.askPerson = nullptr;
}

int PlayTerminal(Game& game, ConsoleDialogs& dialogs, int inFd, std::ostream& out) {
  bool started;
  {
    // There already to answer start-up's questions (plug-ins).
    TerminalPlayer player(game, dialogs, inFd, out);
    AskAboutLongChains(game);
    started = StartWithoutWindows(game, out);
    if (started) player.Run();
  }
  dialogs.askPerson = nullptr;
  if (!started) return 1;
  ShutDownGame(game);
  return 0;
}

}  // namespace velmora
