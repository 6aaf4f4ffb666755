#pragma once
// Reading a command's arguments by kind: literal (Arg), integer literal, integer operand,
// string operand, variable name. Each answers exactly as the variable store's operations
// on the token text would; they only remember per token what cannot have changed.
#include <cstdint>
#include <string_view>

#include "script/token_list.h"
#include "base/game.h"
#include "base/int_text.h"
#include "vars/var_store.h"

namespace velmora {

// FindVar of the token at pos.
inline int FindVarArg(Game& game, const TokenList& t, int32_t pos, bool isString) {
  const std::string& token = Arg(t, pos);
  const VarStore& vars = *game.vars;
  TokenCache& c = t.CacheAt(pos);
  const uint64_t generation = vars.Generation();
  if (isString) {
    if (c.strVarGeneration != generation) {
      c.strVar = vars.FindVar(token, true);
      c.strVarGeneration = generation;
    }
    return c.strVar;
  }
  if (c.intVarGeneration != generation) {
    c.intVar = vars.FindVar(token, false);
    c.intVarGeneration = generation;
  }
  return c.intVar;
}

// The token at pos as an integer literal; anything else is the conversion fault.
inline int32_t IntLiteralArg(const TokenList& t, int32_t pos) {
  const std::string& token = Arg(t, pos);
  TokenCache& c = t.CacheAt(pos);
  if (c.intState == 0) {
    const auto value = ParseInt32(token);
    c.intState = value ? 1 : -1;
    c.intValue = value.value_or(0);
  }
  if (c.intState < 0) return StrToInt(token);  // raises the fault with the token's text
  return c.intValue;
}

// IntOperand of the token at pos.
inline int32_t IntOperandArg(Game& game, const TokenList& t, int32_t pos) {
  const int i = FindVarArg(game, t, pos, false);
  return i != -1 ? game.vars->IntValue(i) : IntLiteralArg(t, pos);
}

// StrOperand of the token at pos. The view is valid until the variable is next assigned.
inline std::string_view StrOperandArg(Game& game, const TokenList& t, int32_t pos) {
  const int i = FindVarArg(game, t, pos, true);
  return i != -1 ? game.vars->StrValue(i) : std::string_view(t.tokens[static_cast<size_t>(pos)]);
}

}  // namespace velmora
