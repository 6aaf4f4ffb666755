#include "script/token_list.h"

#include "script/command_table.h"
#include "shell/fault.h"
#include "shell/text.h"

namespace velmora {

namespace {

int16_t CodeOf(const std::string& token) {
  if (SameCommand(token, "end")) return kEndToken;
  if (SameCommand(token, ".end")) return kDotEndToken;
  return static_cast<int16_t>(FindCommand(token));
}

}  // namespace

void TokenList::Resolve() {
  command.resize(tokens.size());
  for (size_t i = 0; i < tokens.size(); ++i) command[i] = CodeOf(tokens[i]);
  terminator.resize(tokens.size());
  int32_t next = size();
  for (int32_t i = size() - 1; i >= 0; --i) {
    if (command[static_cast<size_t>(i)] == kEndToken || command[static_cast<size_t>(i)] == kDotEndToken) next = i;
    terminator[static_cast<size_t>(i)] = next;
  }
  cache.clear();
}

int16_t TokenList::CommandAt(int32_t pos) const {
  const auto i = static_cast<size_t>(pos);
  return command.size() == tokens.size() ? command[i] : CodeOf(tokens[i]);
}

const std::string& Arg(const TokenList& t, int32_t pos) {
  if (pos < 0 || pos >= t.size()) throw RuntimeFault("List index out of bounds (" + std::to_string(pos) + ")");
  return t.tokens[static_cast<size_t>(pos)];
}

}  // namespace velmora
