#pragma once
// The script library (Scripts\Scripts.bsf), read once at start-up and split into named
// blocks, and the label table that .label fills while scripts run.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/token_list.h"

namespace velmora {

class Game;

struct TScript {
  std::string name;  // short string
  TokenList tokens;
};

class ScriptLibrary {
 public:
  std::vector<TScript> scripts;
  // Index of the first script whose name matches by SameCommand, -1 when none.
  int FindScript(std::string_view name) const;
};

struct TScriptLabel {
  std::string name;
  int32_t first = 0;
  int32_t last = -1;
};

class LabelTable {
 public:
  std::vector<TScriptLabel> labels;
  int FindLabel(std::string_view name) const;
};

// Splits library text into tokens (the only place text becomes tokens).
std::vector<std::string> SplitTokens(std::string_view text);

void LoadScriptLibrary(Game& game);
void RunScript(Game& game, std::string_view name);
int32_t DefineLabel(Game& game, std::string_view name, const TokenList& t, int32_t first);
void RunLabel(Game& game, const TokenList& t, std::string_view name);

}  // namespace velmora
