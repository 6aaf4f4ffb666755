// Control flow and messages: loops, labels, running scripts, waiting, leaving.
#include <string>

#include "script/arguments.h"
#include "script/commands.h"
#include "script/interpreter.h"
#include "script/script_library.h"
#include "script/var_commands.h"
#include "base/game.h"

namespace velmora {

// $while cond a b body: the body is one command at p+4; the loop resumes at p+6 whatever
// the body's length, and the position the body leaves behind is discarded.
void CmdWhile(Game& game, const TokenList& t, int32_t p) { RunWhile(game, t, p + 1); }

// $cycle from to body: the bounds are read once; the loop resumes at p+7, which leaves
// room for a body of four tokens.
namespace {

[[gnu::noinline]] void CycleBodies(Game& game, const TokenList& t, int32_t p, int64_t times) {
  for (int64_t k = 0; k < times; ++k) {
    int32_t body = p + 3;
    ExecuteCommand(game, t, body);
  }
}

}  // namespace

void CmdCycle(Game& game, const TokenList& t, int32_t p) {
  const int32_t from = IntOperandArg(game, t, p + 1);
  const int32_t to = IntOperandArg(game, t, p + 2);
  if (to < from) return;
  NestedRun bodies(game, NestedRun::kLoopBody);
  CycleBodies(game, t, p, int64_t {to} - from + 1);
}

void CmdLabel(Game& game, const TokenList& t, int32_t p) { DefineLabel(game, Arg(t, p + 1), t, p + 2); }

void CmdJump(Game& game, const TokenList& t, int32_t p) { RunLabel(game, t, Arg(t, p + 1)); }

// The name is only looked up before the script runs, so the variable's text need not be copied.
void CmdRun(Game& game, const TokenList& t, int32_t p) { RunScript(game, StrOperandArg(game, t, p + 1)); }

// $sleep ms: logged as written, before the count is read. A negative count does not wait
// (the platform would take it as an unsigned count of weeks).
void CmdSleep(Game& game, const TokenList& t, int32_t p) {
  game.WriteLog(1, "Sleeping " + Arg(t, p + 1) + " ms...");
  const int32_t ms = IntLiteralArg(t, p + 1);
  if (ms > 0) game.clock().Sleep(ms);
}

void CmdShowMessage(Game& game, const TokenList& t, int32_t p) {
  game.dialogs().ShowMessage(MessageText(game, Arg(t, p + 1)));
}

// $exit ends only the run of this token list; outer runs go on until control returns to
// the event loop, which then closes the window.
void CmdExit(Game& game, const TokenList&, int32_t) { game.RequestClose(); }

namespace {

// clang-format off
// Fixed(name, width, speed, handler); Loop(name, resume offset, operands read before the body, handler)
constexpr CommandInfo kRows[] = {
  Loop("$while", 6, 0, CmdWhile),                 // cond a b body: loop while cond holds
  Loop("$cycle", 7, 2, CmdCycle),                 // from to body: run body to-from+1 times
  ToTerminator(".label", CmdLabel),               // name range .end: record a label
  Fixed("$jump", 2, kQuick, CmdJump),             // label: run a label's range here
  Fixed("$run", 2, kQuick, CmdRun),               // script: run a script
  Fixed("$sleep", 2, kSlow, CmdSleep),            // ms: block
  Fixed("$showmessage", 2, kSlow, CmdShowMessage),  // message-key
  EndsList("$exit", CmdExit),                     // end this run, close the window
};
// clang-format on

}  // namespace

CommandRows ControlCommands() { return kRows; }

}  // namespace velmora
