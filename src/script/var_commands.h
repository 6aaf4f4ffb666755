#pragma once
// What the variable commands share with the rest of the engine: the conditions of $while,
// the random generator and the messages file. The handlers themselves are in commands.h.
#include <cstdint>
#include <string>
#include <string_view>

#include "script/token_list.h"

namespace velmora {

class Game;

// The six comparisons a $while condition may name, in the order they are tried; kNever
// for any other token (which is false without a log line).
enum class Condition : uint8_t { kStrNotEqual, kStrEqual, kIntNotEqual, kIntEqual, kLarger, kSmaller, kNever };

// The condition named at c, after checking that c, c+1 and c+2 are in the list.
Condition ConditionAt(Game& game, const TokenList& t, int32_t c);
// Evaluates the condition named at c on the tokens at c+1 and c+2.
bool Holds(Game& game, const TokenList& t, int32_t c, Condition condition);
// The loop of $while: while the condition named at c holds, the command at c+3 runs.
void RunWhile(Game& game, const TokenList& t, int32_t c);

// The condition of $while: one of six comparison names (matched by SameCommand) applied to
// a variable a and an operand b; any other name is false.
bool EvalCondition(Game& game, std::string_view name, std::string_view a, std::string_view b);

// The next number of the run's generator: 0..n-1 for positive n, 0 for 0, a negative n
// counting as 2^32 + n.
int32_t RandomBelow(Game& game, int32_t n);

// The text of a key of section "Messages" of the messages file, empty when either is missing.
std::string MessageText(Game& game, std::string_view key);

}  // namespace velmora
