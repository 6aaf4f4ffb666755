#pragma once
// A script body: its tokens and, resolved once when the library is loaded, the command
// each token names (tokens never change after loading, so dispatch never compares names).
//
// Arguments are read from the tokens every time a command runs, as the language defines;
// what a token means as an integer literal, and which variables it names, is kept beside
// it. The variable slots of a command's operands are resolved together and stamped with
// the variable store's generation at the command's own position, so a command checks one
// stamp however many operands it has, and a loop never looks a name up twice.
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// Codes of `TokenList::command` besides the command table's indexes.
constexpr int16_t kNoCommand = -1;
constexpr int16_t kEndToken = -2;     // "end": ends a run when met at a command position
constexpr int16_t kDotEndToken = -3;  // ".end": ends a label's range

// What is known about one token, filled when a command that reads it first runs.
struct TokenSlot {
  uint64_t stamp = 0;    // for a command token: the store generation its operands were resolved at
  int32_t intVar = -1;   // the integer variable this token names, -1 when none
  int32_t strVar = -1;   // the string variable this token names, -1 when none
  int32_t intValue = 0;  // the token as an integer literal, when intState is 1
  int8_t intState = 0;   // 0 not read yet, 1 an integer literal, -1 not an integer
};

class CommandTable;

struct TokenList {
  std::vector<std::string> tokens;
  std::vector<int16_t> command;     // index into the command table, or one of the codes above
  std::vector<int32_t> terminator;  // position of the first "end" or ".end" at or after each token
  // One per token once the list has run (allocated then, not at loading: most of a large
  // library never runs).
  mutable std::vector<TokenSlot> cache;

  TokenList() = default;
  TokenList(const CommandTable& commands, std::vector<std::string> words) : tokens(std::move(words)) {
    Resolve(commands);
  }

  int32_t size() const { return static_cast<int32_t>(tokens.size()); }
  // Fills `command` and `terminator` from `tokens`; every list must be resolved before it
  // runs, against the table of the game that runs it.
  void Resolve(const CommandTable& commands);
  // The command code of the token at pos (which must be inside the list).
  int16_t CommandAt(int32_t pos) const { return command[static_cast<size_t>(pos)]; }
  // Where a run resumes after the first "end" or ".end" from pos on, or after the end of the list.
  int32_t AfterTerminator(int32_t pos) const {
    return (pos < size() ? terminator[static_cast<size_t>(pos)] : pos) + 1;
  }
};

// The fault "List index out of bounds (%d)".
[[noreturn]] void ThrowListIndex(int32_t pos);

// Reads argument position pos; a position outside the list is the fault "List index out of bounds (%d)".
inline const std::string& Arg(const TokenList& t, int32_t pos) {
  if (static_cast<uint32_t>(pos) >= static_cast<uint32_t>(t.size())) [[unlikely]]
    ThrowListIndex(pos);
  return t.tokens[static_cast<size_t>(pos)];
}

}  // namespace velmora
