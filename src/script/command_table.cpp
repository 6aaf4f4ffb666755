#include "script/command_table.h"

#include <algorithm>
#include <stdexcept>

#include "base/text.h"

namespace velmora {

CommandTable::CommandTable(std::span<const std::string_view> names, std::initializer_list<CommandRows> sets) {
  std::unordered_map<std::string, const CommandInfo*> offered;
  size_t count = 0;
  for (CommandRows set : sets) {
    for (const CommandInfo& row : set) {
      if (!offered.emplace(AsciiLower(row.name), &row).second)
        throw std::logic_error(std::string("command registered twice: ") + row.name);
      ++count;
    }
  }
  for (std::string_view name : names) {
    std::string key = AsciiLower(name);
    auto it = offered.find(key);
    if (it == offered.end() || !it->second) throw std::logic_error("command without a row: " + std::string(name));
    index_.emplace(std::move(key), static_cast<int>(rows_.size()));
    shortest_ = std::min(shortest_, name.size());
    longest_ = std::max(longest_, name.size());
    rows_.push_back(*it->second);
    it->second = nullptr;  // placed
  }
  if (rows_.size() != count) {
    for (const auto& [name, row] : offered)
      if (row) throw std::logic_error("command left out of the language: " + std::string(row->name));
  }
}

int CommandTable::Find(std::string_view token) const {
  if (token.size() < shortest_ || token.size() > longest_) return -1;
  auto it = index_.find(AsciiLower(token));
  return it == index_.end() ? -1 : it->second;
}

}  // namespace velmora
