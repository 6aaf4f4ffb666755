// The variable, set and comparison commands, the conditions of $while, random numbers
// and the messages file.
#include "script/var_commands.h"

#include <string>
#include <type_traits>

#include "script/arguments.h"
#include "script/command_table.h"
#include "script/commands.h"
#include "script/interpreter.h"
#include "base/fault.h"
#include "base/game.h"
#include "base/ini_document.h"
#include "base/main_window_state.h"
#include "base/text.h"

namespace velmora {

namespace {

// ---- Shared pieces --------------------------------------------------------------------

// Out of line, so that the commands that may log it hold no text of their own to destroy
// (see NestedRun).
[[gnu::noinline]] void LogMissingVar(Game& game, const TokenList& t, int32_t pos) {
  game.WriteLog(3, "Variable " + Arg(t, pos) + " not found!");
}

// The variable a command requires at pos, or -1 after logging that it is missing.
int RequiredVar(Game& game, const TokenList& t, int32_t pos, bool isString) {
  const int v = FindVarArg(game, t, pos, isString);
  if (v == -1) [[unlikely]]
    LogMissingVar(game, t, pos);
  return v;
}

enum class Comparison { kStrNotEqual, kStrEqual, kIntNotEqual, kIntEqual, kLarger, kLargerOrEqual, kSmaller,
                        kSmallerOrEqual };

// Variable A at pos against operand B at pos+1. A must name a variable of the kind; B is
// read only once A is found.
template <Comparison kind>
[[gnu::always_inline]] inline bool Compare(Game& game, const TokenList& t, int32_t pos) {
  constexpr bool text = kind == Comparison::kStrNotEqual || kind == Comparison::kStrEqual;
  const int a = RequiredVar(game, t, pos, text);
  if (a == -1) [[unlikely]]
    return false;
  if constexpr (text) {
    const bool equal = game.vars->StrValue(a) == StrOperandArg(game, t, pos + 1);
    return kind == Comparison::kStrEqual ? equal : !equal;
  } else {
    const int32_t x = game.vars->IntValue(a);
    const int32_t y = IntOperandArg(game, t, pos + 1);
    if constexpr (kind == Comparison::kIntNotEqual) return x != y;
    if constexpr (kind == Comparison::kIntEqual) return x == y;
    if constexpr (kind == Comparison::kLarger) return x > y;
    if constexpr (kind == Comparison::kLargerOrEqual) return x >= y;
    if constexpr (kind == Comparison::kSmaller) return x < y;
    if constexpr (kind == Comparison::kSmallerOrEqual) return x <= y;
  }
}

// A set test on the operand at p+1: true when its presence in the set is as wanted.
bool SetTest(Game& game, const TokenList& t, int32_t p, bool text, bool wantPresent) {
  const bool present = text ? game.vars->StrSetContains(StrOperandArg(game, t, p + 1))
                            : game.vars->IntSetContains(IntOperandArg(game, t, p + 1));
  return present == wantPresent;
}

// Integer arithmetic on variable V (p+1) with operand X (p+2), wrapping in 32 bits.
template <class Op>
void Arithmetic(Game& game, const TokenList& t, int32_t p, Op op) {
  const int v = RequiredVar(game, t, p + 1, false);
  if (v != -1) game.vars->SetIntValue(v, op(game.vars->IntValue(v), IntOperandArg(game, t, p + 2)));
}

int32_t Wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

void CheckDivisor(int32_t x, int32_t y) {
  if (y == 0) throw RuntimeFault("Division by zero");
  if (x == INT32_MIN && y == -1) throw RuntimeFault("Integer overflow");
}

}  // namespace

// ---- Random numbers -----------------------------------------------------------------

int32_t RandomBelow(Game& game, int32_t n) {
  uint32_t& seed = game.interp->randomSeed;
  seed = seed * 134775813u + 1u;
  return static_cast<int32_t>((uint64_t {seed} * static_cast<uint32_t>(n)) >> 32);
}

// ---- Conditions ---------------------------------------------------------------------

Condition ConditionAt(Game& game, const TokenList& t, int32_t c) {
  Arg(t, c);
  Arg(t, c + 1);
  Arg(t, c + 2);
  const int16_t code = t.CommandAt(c);
  if (code < 0) return Condition::kNever;
  const CommandTest test = (*game.interp->commands)[static_cast<size_t>(code)].test;
  if (test == CmdStringNotEqual) return Condition::kStrNotEqual;
  if (test == CmdStringEqual) return Condition::kStrEqual;
  if (test == CmdIntNotEqual) return Condition::kIntNotEqual;
  if (test == CmdIntEqual) return Condition::kIntEqual;
  if (test == CmdIntLargerThan) return Condition::kLarger;
  if (test == CmdIntSmallerThan) return Condition::kSmaller;
  return Condition::kNever;
}

namespace {

// Inlined into $while's loop with the comparison: a call per turn, as the WebAssembly
// build made it, took a third of the counting loop's time in the browser.
template <Comparison kind>
[[gnu::always_inline]] inline bool HoldsAt(Game& game, const TokenList& t, int32_t c) {
  // The condition name is a comparison command: its operands are the condition's.
  EnsureOperands(game, t, c, 2);
  return Compare<kind>(game, t, c + 1);
}

// $while with the condition decoded once. A body that is a quick command of fixed width
// or a test is called straight from its row after its first run, which checked its
// position like any step; any other body takes the ordinary step each time.
template <Comparison kind>
[[gnu::noinline]] void LoopWhileBodies(Game& game, const TokenList& t, int32_t c) {
  const int32_t body = c + 3;
  int32_t q = body;
  ExecuteCommand(game, t, q);
  const int16_t code = t.CommandAt(body);
  const CommandInfo* row = code >= 0 ? &(*game.interp->commands)[static_cast<size_t>(code)] : nullptr;
  if (row && row->speed == kQuick && (row->advance == Advance::kFixed || row->advance == Advance::kTest)) {
    InterpreterState& s = *game.interp;
    while (HoldsAt<kind>(game, t, c)) {
      if (--s.budget < 0) [[unlikely]]
        EndOfStretch(game);
      EnsureOperands(game, t, body, row->operands);
      if (row->action) row->action(game, t, body);
      else row->test(game, t, body);
    }
    return;
  }
  while (HoldsAt<kind>(game, t, c)) {
    q = body;
    ExecuteCommand(game, t, q);
  }
}

template <Comparison kind>
void LoopWhile(Game& game, const TokenList& t, int32_t c) {
  if (!HoldsAt<kind>(game, t, c)) return;
  NestedRun bodies(game, NestedRun::kLoopBody);
  LoopWhileBodies<kind>(game, t, c);
}

}  // namespace

namespace {

// Calls f with the comparison of a condition as a compile-time constant; false for kNever.
template <class F>
bool WithComparison(Condition condition, F&& f) {
  using K = Comparison;
  switch (condition) {
    case Condition::kStrNotEqual: return f(std::integral_constant<K, K::kStrNotEqual> {});
    case Condition::kStrEqual: return f(std::integral_constant<K, K::kStrEqual> {});
    case Condition::kIntNotEqual: return f(std::integral_constant<K, K::kIntNotEqual> {});
    case Condition::kIntEqual: return f(std::integral_constant<K, K::kIntEqual> {});
    case Condition::kLarger: return f(std::integral_constant<K, K::kLarger> {});
    case Condition::kSmaller: return f(std::integral_constant<K, K::kSmaller> {});
    default: return false;
  }
}

}  // namespace

bool Holds(Game& game, const TokenList& t, int32_t c, Condition condition) {
  return WithComparison(condition, [&](auto kind) { return HoldsAt<kind()>(game, t, c); });
}

void RunWhile(Game& game, const TokenList& t, int32_t c) {
  WithComparison(ConditionAt(game, t, c), [&](auto kind) {
    LoopWhile<kind()>(game, t, c);
    return true;
  });
}

bool EvalCondition(Game& game, std::string_view name, std::string_view a, std::string_view b) {
  const TokenList t(*game.interp->commands, {std::string(name), std::string(a), std::string(b)});
  PrepareSlots(t, 0);
  return Holds(game, t, 0, ConditionAt(game, t, 0));
}

// ---- Messages -----------------------------------------------------------------------

std::string MessageText(Game& game, std::string_view key) {
  // Read at every use: a message edited while the game runs shows in its new form.
  return game.messages ? game.messages->ReadText("Messages", key, "") : std::string();
}

// ---- Integer variables --------------------------------------------------------------

void CmdIntNew(Game& game, const TokenList& t, int32_t p) {
  game.vars->NewIntVar(Arg(t, p + 1), 0);
}

// Assigns an existing variable from an operand; creates a missing one from a literal only.
void CmdIntSet(Game& game, const TokenList& t, int32_t p) {
  const int v = FindVarArg(game, t, p + 1, false);
  if (v != -1) game.vars->SetIntValue(v, IntOperandArg(game, t, p + 2));
  else game.vars->NewIntVar(Arg(t, p + 1), IntLiteralArg(t, p + 2));
}

void CmdIntRandom(Game& game, const TokenList& t, int32_t p) {
  const int v = RequiredVar(game, t, p + 1, false);
  if (v != -1) game.vars->SetIntValue(v, RandomBelow(game, IntOperandArg(game, t, p + 2)));
}

// $int.random.range V span base: both literals; the draw happens before base is read.
void CmdIntRandomRange(Game& game, const TokenList& t, int32_t p) {
  const int v = RequiredVar(game, t, p + 1, false);
  if (v != -1) {
    const int32_t r = RandomBelow(game, IntLiteralArg(t, p + 2));
    game.vars->SetIntValue(v, Wrap(int64_t {r} + IntLiteralArg(t, p + 3)));
  }
}

void CmdIntAdd(Game& game, const TokenList& t, int32_t p) {
  Arithmetic(game, t, p, [](int32_t x, int32_t y) { return Wrap(int64_t {x} + y); });
}

void CmdIntSubstrat(Game& game, const TokenList& t, int32_t p) {
  Arithmetic(game, t, p, [](int32_t x, int32_t y) { return Wrap(int64_t {x} - y); });
}

void CmdIntMultiple(Game& game, const TokenList& t, int32_t p) {
  Arithmetic(game, t, p, [](int32_t x, int32_t y) { return Wrap(int64_t {x} * y); });
}

void CmdIntDiv(Game& game, const TokenList& t, int32_t p) {
  Arithmetic(game, t, p, [](int32_t x, int32_t y) {
    CheckDivisor(x, y);
    return x / y;  // truncated toward zero
  });
}

void CmdIntMod(Game& game, const TokenList& t, int32_t p) {
  Arithmetic(game, t, p, [](int32_t x, int32_t y) {
    CheckDivisor(x, y);
    return x % y;  // the sign of the dividend
  });
}

bool CmdIntNotEqual(Game& game, const TokenList& t, int32_t p) { return Compare<Comparison::kIntNotEqual>(game, t, p + 1); }
bool CmdIntEqual(Game& game, const TokenList& t, int32_t p) { return Compare<Comparison::kIntEqual>(game, t, p + 1); }
bool CmdIntLargerThan(Game& game, const TokenList& t, int32_t p) { return Compare<Comparison::kLarger>(game, t, p + 1); }
bool CmdIntLargerThanOrEqual(Game& game, const TokenList& t, int32_t p) { return Compare<Comparison::kLargerOrEqual>(game, t, p + 1); }
bool CmdIntSmallerThan(Game& game, const TokenList& t, int32_t p) { return Compare<Comparison::kSmaller>(game, t, p + 1); }
bool CmdIntSmallerThanOrEqual(Game& game, const TokenList& t, int32_t p) { return Compare<Comparison::kSmallerOrEqual>(game, t, p + 1); }

// ---- String variables ---------------------------------------------------------------

void CmdStringNew(Game& game, const TokenList& t, int32_t p) {
  game.vars->NewStrVar(Arg(t, p + 1), "");
}

// The value is always the literal token, never another variable's value.
void CmdStringSet(Game& game, const TokenList& t, int32_t p) {
  const int v = FindVarArg(game, t, p + 1, true);
  if (v != -1) game.vars->SetStrValue(v, Arg(t, p + 2));
  else game.vars->NewStrVar(Arg(t, p + 1), Arg(t, p + 2));
}

// $string.split V X appends (despite its name) the string operand X.
void CmdStringSplit(Game& game, const TokenList& t, int32_t p) {
  const int v = RequiredVar(game, t, p + 1, true);
  if (v != -1) game.vars->AppendStr(v, StrOperandArg(game, t, p + 2));
}

// $string.split.int V X appends the value of integer variable X in decimal, else the token.
void CmdStringSplitInt(Game& game, const TokenList& t, int32_t p) {
  const int v = RequiredVar(game, t, p + 1, true);
  if (v != -1) {
    const int x = FindVarArg(game, t, p + 2, false);
    if (x == -1) game.vars->AppendStr(v, Arg(t, p + 2));
    else game.vars->AppendStr(v, IntToStr(game.vars->IntValue(x)));  // short: no allocation
  }
}

// $string.get V key: asks until the answer is not empty (Cancel answers the empty text).
// A front end that can never answer again (a replay out of answers) ends the asking,
// leaving V empty, instead of looping for ever.
void CmdStringGet(Game& game, const TokenList& t, int32_t p) {
  const int v = FindVarArg(game, t, p + 1, true);
  if (v != -1) {
    const std::string key = Arg(t, p + 2);
    do {
      std::string answer;
      if (!game.dialogs().InputQuery(game.mainWindow->caption, MessageText(game, key), answer)) answer.clear();
      game.vars->SetStrValue(v, answer);
    } while (game.vars->StrValue(v).empty() && game.dialogs().MoreInputPossible());
  }
}

bool CmdStringNotEqual(Game& game, const TokenList& t, int32_t p) { return Compare<Comparison::kStrNotEqual>(game, t, p + 1); }
bool CmdStringEqual(Game& game, const TokenList& t, int32_t p) { return Compare<Comparison::kStrEqual>(game, t, p + 1); }

// ---- Sets ---------------------------------------------------------------------------

void CmdIntSetClear(Game& game, const TokenList&, int32_t) {
  game.vars->IntSetClear();
}

void CmdStringSetClear(Game& game, const TokenList&, int32_t) {
  game.vars->StrSetClear();
}

bool CmdIntSetFind(Game& game, const TokenList& t, int32_t p) { return SetTest(game, t, p, false, true); }
bool CmdIntSetCantFind(Game& game, const TokenList& t, int32_t p) { return SetTest(game, t, p, false, false); }

// True when the value was there already; otherwise it is added and the test is false.
bool CmdIntSetFindAdd(Game& game, const TokenList& t, int32_t p) {
  return game.vars->IntSetFindAdd(IntOperandArg(game, t, p + 1));
}

void CmdIntSetRemove(Game& game, const TokenList& t, int32_t p) {
  game.vars->IntSetRemove(IntOperandArg(game, t, p + 1));
}

bool CmdStringSetFind(Game& game, const TokenList& t, int32_t p) { return SetTest(game, t, p, true, true); }
bool CmdStringSetCantFind(Game& game, const TokenList& t, int32_t p) { return SetTest(game, t, p, true, false); }

bool CmdStrSetFindAdd(Game& game, const TokenList& t, int32_t p) {
  return game.vars->StrSetFindAdd(StrOperandArg(game, t, p + 1));
}

void CmdStringSetRemove(Game& game, const TokenList& t, int32_t p) {
  game.vars->StrSetRemove(StrOperandArg(game, t, p + 1));
}

// ---- Rows ---------------------------------------------------------------------------

namespace {

// clang-format off
// Fixed(name, width, speed, handler); Test(name, width when it holds, handler)
constexpr CommandInfo kRows[] = {
  Fixed("$int.set.clear", 1, kQuick, CmdIntSetClear),
  Fixed("$string.set.clear", 1, kQuick, CmdStringSetClear),
  Test("$int.set.find", 2, CmdIntSetFind),                   // value in the integer set
  Test("$int.set.CantFind", 2, CmdIntSetCantFind),           // value not in the integer set
  Test("$int.set.find.add", 2, CmdIntSetFindAdd),            // found, or added and false
  Test("$string.set.find", 2, CmdStringSetFind),
  Fixed("$int.set.remove", 2, kQuick, CmdIntSetRemove),
  Fixed("$string.set.remove", 2, kQuick, CmdStringSetRemove),
  Test("$string.set.CantFind", 2, CmdStringSetCantFind),
  Test("$str.set.find.add", 2, CmdStrSetFindAdd),
  Fixed("$string.new", 2, kQuick, CmdStringNew),             // name
  Fixed("$string.set", 3, kQuick, CmdStringSet),             // name literal
  Fixed("$string.get", 3, kSlow, CmdStringGet),              // strvar message-key: ask the player
  Test("$string.notequal", 3, CmdStringNotEqual),
  Test("$string.equal", 3, CmdStringEqual),
  Fixed("$string.split", 3, kQuick, CmdStringSplit),         // strvar operand: append
  Fixed("$string.split.int", 3, kQuick, CmdStringSplitInt),  // strvar intvar-or-token: append
  Fixed("$int.new", 2, kQuick, CmdIntNew),                   // name
  Fixed("$int.set", 3, kQuick, CmdIntSet),                   // name operand
  Fixed("$int.random", 3, kQuick, CmdIntRandom),             // intvar bound
  Fixed("$int.random.range", 4, kQuick, CmdIntRandomRange),  // intvar span base
  Fixed("$int.add", 3, kQuick, CmdIntAdd),
  Fixed("$int.substrat", 3, kQuick, CmdIntSubstrat),
  Fixed("$int.multiple", 3, kQuick, CmdIntMultiple),
  Fixed("$int.div", 3, kQuick, CmdIntDiv),
  Fixed("$int.mod", 3, kQuick, CmdIntMod),
  Test("$int.notequal", 3, CmdIntNotEqual),
  Test("$int.equal", 3, CmdIntEqual),
  Test("$int.largerthan", 3, CmdIntLargerThan),
  Test("$int.largerthanorequal", 3, CmdIntLargerThanOrEqual),
  Test("$int.smallerthan", 3, CmdIntSmallerThan),
  Test("$int.smallerthanorequal", 3, CmdIntSmallerThanOrEqual),
};
// clang-format on

}  // namespace

CommandRows VariableCommands() { return kRows; }

}  // namespace velmora
