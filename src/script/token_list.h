#pragma once
// A script body: its tokens and, resolved once when the library is loaded, the command
// each token names (tokens never change after loading, so dispatch never compares names).
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

struct TokenList {
  std::vector<std::string> tokens;
  std::vector<int16_t> command;  // index into the command table, -1 when the token names no command

  int32_t size() const { return static_cast<int32_t>(tokens.size()); }
  // Fills `command` from `tokens`.
  void Resolve();
};

// Reads argument position pos; a position outside the list is the fault "List index out of bounds (%d)".
const std::string& Arg(const TokenList& t, int32_t pos);

}  // namespace velmora
