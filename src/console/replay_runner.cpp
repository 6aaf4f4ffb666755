#include "console/replay_runner.h"

#include <algorithm>
#include <fstream>

#include "console/console_dialogs.h"
#include "console/program_options.h"
#include "script/interpreter.h"
#include "base/game.h"
#include "base/stop_signals.h"
#include "run/chain_question.h"
#include "run/startup.h"
#include "base/virtual_clock.h"

namespace velmora {

bool ReadReplay(std::istream& in, std::vector<Step>& steps, std::vector<std::string>& errors) {
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    Step step;
    std::string error;
    if (!ParseStep(line, step, error))
      errors.push_back("line " + std::to_string(number) + ": " + error);
    else if (step.kind != StepKind::kNone)
      steps.push_back(std::move(step));
  }
  return errors.empty();
}

ReplayRunner::ReplayRunner(Game& game, VirtualClock& clock, ConsoleDialogs& dialogs, std::ostream& out)
    : game_(game), clock_(clock), out_(out), steps_(game, dialogs, out) {
  steps_.wait = [this](int64_t ms) { Wait(ms); };
}

void ReplayRunner::FireDue() { FireDueTimers(game_); }

void ReplayRunner::Wait(int64_t ms) {
  const int64_t end = clock_.NowMs() + ms;
  while (!game_.CloseRequested() && !StopSignals::Requested()) {
    const auto next = game_.timers.NextDeadline();
    if (!next || *next > end) break;
    // Never backwards: a handler's $sleep may have moved the clock past the deadline.
    clock_.Set(std::max(*next, clock_.NowMs()));
    game_.timers.FireOne();
  }
  // The program ends when its window closes: no time passes after that.
  if (!game_.CloseRequested()) clock_.Set(std::max(end, clock_.NowMs()));
}

void ReplayRunner::Run(const std::vector<Step>& steps) {
  FireDue();
  for (size_t i = 0; i < steps.size(); ++i) {
    if (game_.CloseRequested()) {
      out_ << "(the window has closed: " << steps.size() - i << " step(s) not run)\n";
      break;
    }
    if (StopSignals::Requested()) {
      out_ << "(stopped by signal " << StopSignals::Signal() << ": " << steps.size() - i << " step(s) not run)\n";
      break;
    }
    out_ << "> " << steps[i].source << '\n';
    out_.flush();
    steps_.Run(steps[i]);
    FireDue();
  }
  out_.flush();
}

bool StartWithoutWindows(Game& game, std::ostream& out) {
  switch (StartGame(game)) {
    case StartupResult::kAudioFailed:
      return false;
    case StartupResult::kStopped:
      out << "start-up stopped: LastStart.log says why\n";
      return false;
    case StartupResult::kCompleted:
      break;
  }
  CreateToolWindows(game);
  return true;
}

int PlayReplay(Game& game, VirtualClock& clock, ConsoleDialogs& dialogs, const std::vector<Step>& steps,
               std::ostream& out) {
  EndChainsOnStopSignals(game);
  if (!StartWithoutWindows(game, out)) return 1;
  ReplayRunner runner(game, clock, dialogs, out);
  runner.Run(steps);
  ShutDownGame(game);
  return 0;
}

int PlayReplayFile(const ProgramOptions& options, Platform platform, const GameOptions& gameOptions,
                   const ReplayEngines& engines, std::ostream& out, std::ostream& err) {
  std::ifstream file(options.replayFile, std::ios::binary);
  if (!file) {
    err << "velmora-player: cannot read the replay file " << options.replayFile << '\n';
    return 2;
  }
  std::vector<Step> steps;
  std::vector<std::string> errors;
  if (!ReadReplay(file, steps, errors)) {
    for (const std::string& e : errors) err << options.replayFile << ": " << e << '\n';
    return 2;
  }
  VirtualClock clock;
  auto music = engines.music(clock);
  auto effects = engines.effects(clock);
  ConsoleDialogs dialogs(out);
  platform.clock = &clock;
  platform.audio = music.get();
  platform.effects = effects.get();
  platform.dialogs = &dialogs;
  Game game(platform, gameOptions);
  dialogs.SetCodec(&game.codec);
  if (!options.maxCommands.empty()) game.interp->limits.maxCommands = std::stoull(options.maxCommands);
  return PlayReplay(game, clock, dialogs, steps, out);
}

}  // namespace velmora
