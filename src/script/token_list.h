#pragma once
// A script body: its tokens and, resolved once when the library is loaded, the command
// each token names (tokens never change after loading, so dispatch never compares names).
//
// Arguments are read from the tokens every time a command runs, as the language defines;
// what a token means as an integer literal, and which variable it names, is remembered
// per token (the latter until the variable tables change), so a loop does not parse or
// look anything up twice.
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// Codes of `TokenList::command` besides the command table's indexes.
constexpr int16_t kNoCommand = -1;
constexpr int16_t kEndToken = -2;     // "end": ends a run when met at a command position
constexpr int16_t kDotEndToken = -3;  // ".end": ends a label's range

// What is known about one token, filled on first use.
struct TokenCache {
  uint64_t intVarGeneration = 0;  // VarStore::Generation() when intVar was looked up; 0: never
  uint64_t strVarGeneration = 0;
  int32_t intVar = -1;
  int32_t strVar = -1;
  int32_t intValue = 0;
  int8_t intState = 0;  // 0 not read yet, 1 intValue is the token's value, -1 not an integer
};

struct TokenList {
  std::vector<std::string> tokens;
  std::vector<int16_t> command;     // index into the command table, or one of the codes above
  std::vector<int32_t> terminator;  // position of the first "end" or ".end" at or after each token
  mutable std::vector<TokenCache> cache;

  int32_t size() const { return static_cast<int32_t>(tokens.size()); }
  // Fills `command` and `terminator` from `tokens`. Lists that were never resolved still
  // run (each token is then matched when it is met), only slower.
  void Resolve();
  // The command code of the token at pos (which must be inside the list).
  int16_t CommandAt(int32_t pos) const {
    return command.size() == tokens.size() ? command[static_cast<size_t>(pos)] : MatchCommand(pos);
  }
  // The cache entry of the token at pos (which must be inside the list).
  TokenCache& CacheAt(int32_t pos) const {
    if (cache.size() != tokens.size()) cache.assign(tokens.size(), TokenCache {});
    return cache[static_cast<size_t>(pos)];
  }

 private:
  int16_t MatchCommand(int32_t pos) const;
};

// The fault "List index out of bounds (%d)".
[[noreturn]] void ThrowListIndex(int32_t pos);

// Reads argument position pos; a position outside the list is the fault "List index out of bounds (%d)".
inline const std::string& Arg(const TokenList& t, int32_t pos) {
  if (pos < 0 || pos >= t.size()) [[unlikely]]
    ThrowListIndex(pos);
  return t.tokens[static_cast<size_t>(pos)];
}

}  // namespace velmora
