#include "console/terminal_player.h"

#include <unistd.h>

#include <algorithm>

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
#include "run/chain_question.h"
#include "run/startup.h"

namespace velmora {

namespace {

class TerminalPlayer {
 public:
  TerminalPlayer(Game& game, ConsoleDialogs& dialogs, int inFd, std::ostream& out)
      : game_(game), out_(out), reader_(inFd, StopSignals::WakeFd()), steps_(game, dialogs, out), person_(isatty(inFd) != 0) {
    steps_.wait = [this](int64_t ms) { Wait(ms); };
    dialogs.inputEnded = false;
    dialogs.askPerson = [this, &dialogs]() -> std::optional<std::string> {
      auto line = NextLine();
      if (!line) dialogs.inputEnded = true;
      if (!line || line->empty()) return std::nullopt;  // an empty answer and Cancel are the same to a game
      return line;
    };
    game_.mainWindow->onChanged = [this](unsigned parts) {
      if (parts & (MainWindowState::kCaption | MainWindowState::kStoryText | MainWindowState::kPicture | MainWindowState::kChoices))
        screenChanged_ = true;
    };
  }
  ~TerminalPlayer() { game_.mainWindow->onChanged = nullptr; }

  void Run() {
    screenChanged_ = true;
    while (!game_.CloseRequested()) {
      auto line = NextLine();
      if (!line) break;
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
  // Prints what changed since the last look: the main window, and a window a script opened.
  void ShowChanges() {
    if (screenChanged_) {
      screenChanged_ = false;
      out_ << '\n';
      steps_.PrintLines(DescribeMainWindow(game_));
    }
    if (game_.inventoryWindow->visible != inventoryShown_) {
      inventoryShown_ = game_.inventoryWindow->visible;
      if (inventoryShown_) steps_.PrintLines(DescribeInventoryWindow(game_));
    }
    if (game_.audioWindow->visible != audioShown_) {
      audioShown_ = game_.audioWindow->visible;
      if (audioShown_) steps_.PrintLines(DescribeAudioWindow(game_));
    }
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
      ShowChanges();
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
