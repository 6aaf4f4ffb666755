#include "script/token_list.h"

#include "script/command_table.h"
#include "base/fault.h"
#include "base/text.h"

namespace velmora {

namespace {

int16_t CodeOf(const CommandTable& commands, const std::string& token) {
  if (SameCommand(token, "end")) return kEndToken;
  if (SameCommand(token, ".end")) return kDotEndToken;
  return static_cast<int16_t>(commands.Find(token));
}

}  // namespace

void TokenList::Resolve(const CommandTable& commands) {
  command.resize(tokens.size());
  for (size_t i = 0; i < tokens.size(); ++i) command[i] = CodeOf(commands, tokens[i]);
  terminator.resize(tokens.size());
  int32_t next = size();
  for (int32_t i = size() - 1; i >= 0; --i) {
    if (command[static_cast<size_t>(i)] == kEndToken || command[static_cast<size_t>(i)] == kDotEndToken) next = i;
    terminator[static_cast<size_t>(i)] = next;
  }
  cache.clear();
}

void ThrowListIndex(int32_t pos) { throw RuntimeFault("List index out of bounds (" + std::to_string(pos) + ")"); }

}  // namespace velmora
