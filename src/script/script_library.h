#pragma once
// The script library (Scripts\Scripts.bsf), read once at start-up and split into named
// blocks, and the label table that .label fills while scripts run.
//
// Script and label names match by SameCommand and the first match wins; both tables keep
// a hash index beside the list, hashing and comparing names without regard to ASCII
// case, so that lookups give the answer of a scan from the front without scanning or
// copying the name.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/token_list.h"

namespace velmora {

class CommandTable;
class Game;

// Hashing and equality of names by SameCommand, for maps looked up by any string view.
struct CommandNameHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const;
};
struct CommandNameEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};
using CommandNameMap = std::unordered_map<std::string, int, CommandNameHash, CommandNameEqual>;

struct ScriptBlock {
  std::string name;  // short string
  TokenList tokens;
};

class ScriptLibrary {
 public:
  std::vector<ScriptBlock> scripts;
  // Index of the first script whose name matches by SameCommand, -1 when none.
  int FindScript(std::string_view name) const;
  // Indexes the names of `scripts` (after it was filled).
  void Reindex();

 private:
  CommandNameMap byName_;
  size_t indexed_ = 0;  // scripts covered by byName_; lookups scan when it does not cover them all
};

struct ScriptLabel {
  std::string name;
  int32_t first = 0;
  int32_t last = -1;
  bool operator==(const ScriptLabel&) const = default;
};

class LabelTable {
 public:
  // Only the first label of each name: lookups never reach a later one of the same name,
  // so a .label met again (in a loop, or a script run again) adds nothing.
  std::vector<ScriptLabel> labels;
  int FindLabel(std::string_view name) const;
  void Add(ScriptLabel label);
  void Clear();

 private:
  CommandNameMap byName_;
};

// Splits library text into tokens (the only place text becomes tokens). Past maxTokens it
// stops, with maxTokens + 1 tokens, so a caller can tell the text held more.
std::vector<std::string> SplitTokens(std::string_view text, size_t maxTokens = SIZE_MAX);
// Cuts a library's tokens into blocks between "___script" name ... "___end", each resolved
// against the commands.
std::vector<ScriptBlock> CutIntoBlocks(const CommandTable& commands, std::vector<std::string> tokens);

void LoadScriptLibrary(Game& game);
void RunScript(Game& game, std::string_view name);
int32_t DefineLabel(Game& game, std::string_view name, const TokenList& t, int32_t first);
void RunLabel(Game& game, const TokenList& t, std::string_view name);

}  // namespace velmora
