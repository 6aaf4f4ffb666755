#pragma once
// Reading a command's arguments by kind: literal (Arg), integer literal, integer operand,
// string operand, variable name. Each answers exactly as the variable store's operations
// on the token text would. The variable slots they read are those the dispatcher resolved
// for the command's operands (EnsureOperands), so a handler reads only positions within
// its row's operand count.
#include <cstdint>
#include <string_view>

#include "script/token_list.h"
#include "base/game.h"
#include "base/int_text.h"
#include "vars/var_store.h"

namespace velmora {

// FindVar of the token at pos.
inline int FindVarArg(Game&, const TokenList& t, int32_t pos, bool isString) {
  Arg(t, pos);
  const TokenSlot& slot = t.cache[static_cast<size_t>(pos)];
  return isString ? slot.strVar : slot.intVar;
}

// The token at pos as an integer literal; anything else is the conversion fault.
inline int32_t IntLiteralArg(const TokenList& t, int32_t pos) {
  const std::string& token = Arg(t, pos);
  const TokenSlot& slot = t.cache[static_cast<size_t>(pos)];
  if (slot.intState > 0) return slot.intValue;
  return StrToInt(token);  // raises the fault with the token's text
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
