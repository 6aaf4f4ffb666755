#pragma once
// The row type of the command table and the table the dispatcher reads. Every command is
// a name, how it moves the position, its speed and its handler; each subsystem lists the
// rows of its own commands beside their handlers, and the run's composition puts them
// together in the language's order. The dispatcher moves the position as the row says.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/token_list.h"

namespace velmora {

class Game;

// Does the command's work. A handler only gets the position of its command token and
// reads its arguments from there on.
using CommandAction = void (*)(Game& game, const TokenList& t, int32_t p);
// A test: whether the command after it runs.
using CommandTest = bool (*)(Game& game, const TokenList& t, int32_t p);

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

// The rows one subsystem contributes.
using CommandRows = std::span<const CommandInfo>;

class CommandTable {
 public:
  // The rows of `sets` in the order `names` gives. Every name must be the name of exactly
  // one row and every row must be named (std::logic_error otherwise): a command that is
  // registered but left out of the language, or the other way round, is a mistake of
  // the program, found the first time the table is made.
  CommandTable(std::span<const std::string_view> names, std::initializer_list<CommandRows> sets);

  size_t size() const { return rows_.size(); }
  const CommandInfo& operator[](size_t code) const { return rows_[code]; }
  std::vector<CommandInfo>::const_iterator begin() const { return rows_.begin(); }
  std::vector<CommandInfo>::const_iterator end() const { return rows_.end(); }

  // Index of the command the token names (ASCII case ignored), -1 when none.
  int Find(std::string_view token) const;

 private:
  std::vector<CommandInfo> rows_;
  // Names are all different, so a map keyed by the lower-cased name gives the same
  // answer as comparing against the rows in order.
  std::unordered_map<std::string, int> index_;
  size_t shortest_ = SIZE_MAX, longest_ = 0;  // name lengths: most tokens are no command
};

}  // namespace velmora
