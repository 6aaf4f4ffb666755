#pragma once
// The command language in one list. Every command is a name, how it moves the position,
// its speed and its handler; handlers live with the subsystem whose state they change.
// The dispatcher moves the position as the row says.
#include <array>
#include <cstdint>
#include <string_view>

#include "script/commands.h"

namespace velmora {

// How far the position moves past a command at p.
enum class Advance : uint8_t {
  kFixed,         // to p + width
  kTest,          // to p + width when the test holds, one further (past the next name) when not
  kLoop,          // to p + width, whatever the body consumed
  kToTerminator,  // to after the first "end" or ".end" from p + 2 on
  kEndsList,      // past the end of the list: the run of this list ends
};

// kSlow: the command writes a file, loads a page or picture, shows a box, waits, plays
// sound or calls a plug-in. A chain may run far fewer of these than of the quick ones.
enum CommandSpeed : uint8_t { kQuick, kSlow };

struct CommandInfo {
  const char* name;
  Advance advance;
  uint8_t width;     // tokens moved over (kFixed, kLoop; kTest when it holds)
  uint8_t operands;  // tokens after p whose variable slots are resolved before the handler runs
  CommandSpeed speed;
  CommandAction action;  // every kind but kTest
  CommandTest test;      // kTest
};

constexpr CommandInfo Fixed(const char* name, uint8_t width, CommandSpeed speed, CommandAction action) {
  return {name, Advance::kFixed, width, static_cast<uint8_t>(width - 1), speed, action, nullptr};
}
constexpr CommandInfo Test(const char* name, uint8_t width, CommandTest test) {
  return {name, Advance::kTest, width, static_cast<uint8_t>(width - 1), kQuick, nullptr, test};
}
// A loop reads `operands` tokens itself before its body and resumes at p + resume.
constexpr CommandInfo Loop(const char* name, uint8_t resume, uint8_t operands, CommandAction action) {
  return {name, Advance::kLoop, resume, operands, kQuick, action, nullptr};
}
constexpr CommandInfo ToTerminator(const char* name, CommandAction action) {
  return {name, Advance::kToTerminator, 0, 1, kQuick, action, nullptr};
}
constexpr CommandInfo EndsList(const char* name, CommandAction action) {
  return {name, Advance::kEndsList, 0, 0, kQuick, action, nullptr};
}

extern const std::array<CommandInfo, 64> kCommands;

// Index of the command the token names (ASCII case ignored), -1 when none.
int FindCommand(std::string_view token);

}  // namespace velmora
