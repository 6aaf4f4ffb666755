#pragma once
// The command language in one list. Every command is a name, how far it moves the
// position, and its handler; handlers live with the subsystem whose state they change.
#include <array>
#include <cstdint>
#include <string_view>

#include "script/token_list.h"

namespace velmora {

class Game;
using CommandHandler = void (*)(Game& game, const TokenList& t, int32_t& p);

// kSlow: the command writes a file, loads a page or picture, shows a box, waits, plays
// sound or calls a plug-in. A chain may run far fewer of these than of the quick ones.
enum CommandSpeed : uint8_t { kQuick, kSlow };

struct CommandInfo {
  const char* name;
  const char* consumed;  // "2", "test: 3/4", "resumes at p+6" ...
  CommandSpeed speed;
  CommandHandler handler;
};

extern const std::array<CommandInfo, 64> kCommands;

// Index of the command the token names (ASCII case ignored), -1 when none.
int FindCommand(std::string_view token);

}  // namespace velmora
