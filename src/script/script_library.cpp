// Placeholder until the script engine lands.
#include "script/script_library.h"

#include "script/interpreter.h"
#include "shell/fault.h"
#include "shell/game.h"
#include "shell/text.h"

namespace velmora {

void TokenList::Resolve() { command.assign(tokens.size(), -1); }

const std::string& Arg(const TokenList& t, int32_t pos) {
  if (pos < 0 || pos >= t.size()) throw RuntimeFault("List index out of bounds (" + std::to_string(pos) + ")");
  return t.tokens[static_cast<size_t>(pos)];
}

int ScriptLibrary::FindScript(std::string_view name) const {
  for (size_t i = 0; i < scripts.size(); ++i)
    if (SameCommand(scripts[i].name, name)) return static_cast<int>(i);
  return -1;
}

int LabelTable::FindLabel(std::string_view name) const {
  for (size_t i = 0; i < labels.size(); ++i)
    if (SameCommand(labels[i].name, name)) return static_cast<int>(i);
  return -1;
}

std::vector<std::string> SplitTokens(std::string_view) { return {}; }
void LoadScriptLibrary(Game&) {}
void RunScript(Game& game, std::string_view name) {
  game.WriteLog(3, "Script Error! Script " + std::string(name) + " not found!");
}
int32_t DefineLabel(Game&, std::string_view, const TokenList& t, int32_t) { return t.size() + 1; }
void RunLabel(Game&, const TokenList&, std::string_view) {}
void ExecuteCommand(Game&, const TokenList&, int32_t& p) { ++p; }

}  // namespace velmora
