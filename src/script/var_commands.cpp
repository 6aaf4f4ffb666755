#include "script/var_commands.h"

#include <string>

#include "script/arguments.h"
#include "script/command_table.h"
#include "script/interpreter.h"
#include "base/fault.h"
#include "base/game.h"
#include "base/ini_document.h"
#include "story/main_window_state.h"
#include "base/text.h"

namespace velmora {

namespace {

// ---- Shared pieces --------------------------------------------------------------------

// The variable a command requires at pos, or -1 after logging that it is missing.
int RequiredVar(Game& game, const TokenList& t, int32_t pos, bool isString) {
  const int v = FindVarArg(game, t, pos, isString);
  if (v == -1) game.WriteLog(3, "Variable " + Arg(t, pos) + " not found!");
  return v;
}

// A test guards the next command: true moves past the test's own tokens, false one further,
// which skips only the name token of the next command.
void Guard(bool passed, int32_t own, int32_t& p) { p += passed ? own : own + 1; }

enum class Comparison { kStrNotEqual, kStrEqual, kIntNotEqual, kIntEqual, kLarger, kLargerOrEqual, kSmaller,
                        kSmallerOrEqual };

// Variable A at pos against operand B at pos+1. A must name a variable of the kind; B is
// read only once A is found.
bool Compare(Game& game, const TokenList& t, int32_t pos, Comparison kind) {
  const bool text = kind == Comparison::kStrNotEqual || kind == Comparison::kStrEqual;
  const int a = RequiredVar(game, t, pos, text);
  if (a == -1) return false;
  if (text) {
    const bool equal = game.vars->StrValue(a) == StrOperandArg(game, t, pos + 1);
    return kind == Comparison::kStrEqual ? equal : !equal;
  }
  const int32_t x = game.vars->IntValue(a);
  const int32_t y = IntOperandArg(game, t, pos + 1);
  switch (kind) {
    case Comparison::kIntNotEqual: return x != y;
    case Comparison::kIntEqual: return x == y;
    case Comparison::kLarger: return x > y;
    case Comparison::kLargerOrEqual: return x >= y;
    case Comparison::kSmaller: return x < y;
    case Comparison::kSmallerOrEqual: return x <= y;
    default: return false;
  }
}

void CompareCommand(Game& game, const TokenList& t, int32_t& p, Comparison kind) {
  Guard(Compare(game, t, p + 1, kind), 3, p);
}

// A set test on the operand at p+1: true when its presence in the set is as wanted.
void SetTest(Game& game, const TokenList& t, int32_t& p, bool text, bool wantPresent) {
  const bool present = text ? game.vars->StrSetContains(StrOperandArg(game, t, p + 1))
                            : game.vars->IntSetContains(IntOperandArg(game, t, p + 1));
  Guard(present == wantPresent, 2, p);
}

// Integer arithmetic on variable V (p+1) with operand X (p+2), wrapping in 32 bits.
template <class Op>
void Arithmetic(Game& game, const TokenList& t, int32_t& p, Op op) {
  const int v = RequiredVar(game, t, p + 1, false);
  if (v != -1) game.vars->SetIntValue(v, op(game.vars->IntValue(v), IntOperandArg(game, t, p + 2)));
  p += 3;
}

int32_t Wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

void CheckDivisor(int32_t x, int32_t y) {
  if (y == 0) throw RuntimeFault("Division by zero");
  if (x == INT32_MIN && y == -1) throw RuntimeFault("Integer overflow");
}

// Appends text to string variable V (p+1), cut to 255 bytes.
void Append(Game& game, int v, std::string_view text) {
  std::string joined(game.vars->StrValue(v));
  joined.append(text.substr(0, 255));
  game.vars->SetStrValue(v, joined);
}

}  // namespace

// ---- Random numbers -----------------------------------------------------------------

int32_t RandomBelow(Game& game, int32_t n) {
  uint32_t& seed = game.interp->randomSeed;
  seed = seed * 134775813u + 1u;
  return static_cast<int32_t>((uint64_t {seed} * static_cast<uint32_t>(n)) >> 32);
}

// ---- Conditions ---------------------------------------------------------------------

bool EvalConditionAt(Game& game, const TokenList& t, int32_t c) {
  Arg(t, c);
  Arg(t, c + 1);
  Arg(t, c + 2);
  const int16_t code = t.CommandAt(c);
  if (code < 0) return false;
  const CommandHandler h = kCommands[static_cast<size_t>(code)].handler;
  // The six names a condition may have, in the order they are tried.
  if (h == CmdStringNotEqual) return Compare(game, t, c + 1, Comparison::kStrNotEqual);
  if (h == CmdStringEqual) return Compare(game, t, c + 1, Comparison::kStrEqual);
  if (h == CmdIntNotEqual) return Compare(game, t, c + 1, Comparison::kIntNotEqual);
  if (h == CmdIntEqual) return Compare(game, t, c + 1, Comparison::kIntEqual);
  if (h == CmdIntLargerThan) return Compare(game, t, c + 1, Comparison::kLarger);
  if (h == CmdIntSmallerThan) return Compare(game, t, c + 1, Comparison::kSmaller);
  return false;
}

bool EvalCondition(Game& game, std::string_view name, std::string_view a, std::string_view b) {
  TokenList t;
  t.tokens = {std::string(name), std::string(a), std::string(b)};
  return EvalConditionAt(game, t, 0);
}

// ---- Messages -----------------------------------------------------------------------

std::string MessageText(Game& game, std::string_view key) {
  // Read at every use: a message edited while the game runs shows in its new form.
  return game.messages ? game.messages->ReadText("Messages", key, "") : std::string();
}

// ---- Integer variables --------------------------------------------------------------

void CmdIntNew(Game& game, const TokenList& t, int32_t& p) {
  game.vars->NewIntVar(Arg(t, p + 1), 0);
  p += 2;
}

// Assigns an existing variable from an operand; creates a missing one from a literal only.
void CmdIntSet(Game& game, const TokenList& t, int32_t& p) {
  const int v = FindVarArg(game, t, p + 1, false);
  if (v != -1) game.vars->SetIntValue(v, IntOperandArg(game, t, p + 2));
  else game.vars->NewIntVar(Arg(t, p + 1), IntLiteralArg(t, p + 2));
  p += 3;
}

void CmdIntRandom(Game& game, const TokenList& t, int32_t& p) {
  const int v = RequiredVar(game, t, p + 1, false);
  if (v != -1) game.vars->SetIntValue(v, RandomBelow(game, IntOperandArg(game, t, p + 2)));
  p += 3;
}

// $int.random.range V span base: both literals; the draw happens before base is read.
void CmdIntRandomRange(Game& game, const TokenList& t, int32_t& p) {
  const int v = RequiredVar(game, t, p + 1, false);
  if (v != -1) {
    const int32_t r = RandomBelow(game, IntLiteralArg(t, p + 2));
    game.vars->SetIntValue(v, Wrap(int64_t {r} + IntLiteralArg(t, p + 3)));
  }
  p += 4;
}

void CmdIntAdd(Game& game, const TokenList& t, int32_t& p) {
  Arithmetic(game, t, p, [](int32_t x, int32_t y) { return Wrap(int64_t {x} + y); });
}

void CmdIntSubstrat(Game& game, const TokenList& t, int32_t& p) {
  Arithmetic(game, t, p, [](int32_t x, int32_t y) { return Wrap(int64_t {x} - y); });
}

void CmdIntMultiple(Game& game, const TokenList& t, int32_t& p) {
  Arithmetic(game, t, p, [](int32_t x, int32_t y) { return Wrap(int64_t {x} * y); });
}

void CmdIntDiv(Game& game, const TokenList& t, int32_t& p) {
  Arithmetic(game, t, p, [](int32_t x, int32_t y) {
    CheckDivisor(x, y);
    return x / y;  // truncated toward zero
  });
}

void CmdIntMod(Game& game, const TokenList& t, int32_t& p) {
  Arithmetic(game, t, p, [](int32_t x, int32_t y) {
    CheckDivisor(x, y);
    return x % y;  // the sign of the dividend
  });
}

void CmdIntNotEqual(Game& game, const TokenList& t, int32_t& p) { CompareCommand(game, t, p, Comparison::kIntNotEqual); }
void CmdIntEqual(Game& game, const TokenList& t, int32_t& p) { CompareCommand(game, t, p, Comparison::kIntEqual); }
void CmdIntLargerThan(Game& game, const TokenList& t, int32_t& p) { CompareCommand(game, t, p, Comparison::kLarger); }
void CmdIntLargerThanOrEqual(Game& game, const TokenList& t, int32_t& p) {
  CompareCommand(game, t, p, Comparison::kLargerOrEqual);
}
void CmdIntSmallerThan(Game& game, const TokenList& t, int32_t& p) { CompareCommand(game, t, p, Comparison::kSmaller); }
void CmdIntSmallerThanOrEqual(Game& game, const TokenList& t, int32_t& p) {
  CompareCommand(game, t, p, Comparison::kSmallerOrEqual);
}

// ---- String variables ---------------------------------------------------------------

void CmdStringNew(Game& game, const TokenList& t, int32_t& p) {
  game.vars->NewStrVar(Arg(t, p + 1), "");
  p += 2;
}

// The value is always the literal token, never another variable's value.
void CmdStringSet(Game& game, const TokenList& t, int32_t& p) {
  const int v = FindVarArg(game, t, p + 1, true);
  if (v != -1) game.vars->SetStrValue(v, Arg(t, p + 2));
  else game.vars->NewStrVar(Arg(t, p + 1), Arg(t, p + 2));
  p += 3;
}

// $string.split V X appends (despite its name) the string operand X.
void CmdStringSplit(Game& game, const TokenList& t, int32_t& p) {
  const int v = RequiredVar(game, t, p + 1, true);
  if (v != -1) Append(game, v, StrOperandArg(game, t, p + 2));
  p += 3;
}

// $string.split.int V X appends the value of integer variable X in decimal, else the token.
void CmdStringSplitInt(Game& game, const TokenList& t, int32_t& p) {
  const int v = RequiredVar(game, t, p + 1, true);
  if (v != -1) {
    const int x = FindVarArg(game, t, p + 2, false);
    Append(game, v, x != -1 ? IntToStr(game.vars->IntValue(x)) : Arg(t, p + 2));
  }
  p += 3;
}

// $string.get V key: asks until the answer is not empty (Cancel answers the empty text).
// A front end that can never answer again (a replay out of answers) ends the asking,
// leaving V empty, instead of looping for ever.
void CmdStringGet(Game& game, const TokenList& t, int32_t& p) {
  const int v = FindVarArg(game, t, p + 1, true);
  if (v != -1) {
    const std::string key = Arg(t, p + 2);
    do {
      std::string answer;
      if (!game.dialogs().InputQuery(game.mainWindow->caption, MessageText(game, key), answer)) answer.clear();
      game.vars->SetStrValue(v, answer);
    } while (game.vars->StrValue(v).empty() && game.dialogs().MoreInputPossible());
  }
  p += 3;
}

void CmdStringNotEqual(Game& game, const TokenList& t, int32_t& p) {
  CompareCommand(game, t, p, Comparison::kStrNotEqual);
}
void CmdStringEqual(Game& game, const TokenList& t, int32_t& p) { CompareCommand(game, t, p, Comparison::kStrEqual); }

// ---- Sets ---------------------------------------------------------------------------

void CmdIntSetClear(Game& game, const TokenList&, int32_t& p) {
  game.vars->IntSetClear();
  p += 1;
}

void CmdStringSetClear(Game& game, const TokenList&, int32_t& p) {
  game.vars->StrSetClear();
  p += 1;
}

void CmdIntSetFind(Game& game, const TokenList& t, int32_t& p) { SetTest(game, t, p, false, true); }
void CmdIntSetCantFind(Game& game, const TokenList& t, int32_t& p) { SetTest(game, t, p, false, false); }

// True when the value was there already; otherwise it is added and the test is false.
void CmdIntSetFindAdd(Game& game, const TokenList& t, int32_t& p) {
  const int32_t value = IntOperandArg(game, t, p + 1);
  const bool found = game.vars->IntSetContains(value);
  if (!found) game.vars->IntSetAdd(value);
  Guard(found, 2, p);
}

void CmdIntSetRemove(Game& game, const TokenList& t, int32_t& p) {
  game.vars->IntSetRemove(IntOperandArg(game, t, p + 1));
  p += 2;
}

void CmdStringSetFind(Game& game, const TokenList& t, int32_t& p) { SetTest(game, t, p, true, true); }
void CmdStringSetCantFind(Game& game, const TokenList& t, int32_t& p) { SetTest(game, t, p, true, false); }

void CmdStrSetFindAdd(Game& game, const TokenList& t, int32_t& p) {
  const std::string text(StrOperandArg(game, t, p + 1));
  const bool found = game.vars->StrSetContains(text);
  if (!found) game.vars->StrSetAdd(text);
  Guard(found, 2, p);
}

void CmdStringSetRemove(Game& game, const TokenList& t, int32_t& p) {
  game.vars->StrSetRemove(StrOperandArg(game, t, p + 1));
  p += 2;
}

}  // namespace velmora
