#pragma once
// The items a story knows about, kept in the memory form plug-ins read (a dynamic array
// of TInvItem records), and the two files behind them.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class Game;

class Inventory {
 public:
  Inventory();
  ~Inventory();
  Inventory(const Inventory&) = delete;
  Inventory& operator=(const Inventory&) = delete;

  int Size() const;
  // Index of the first item with exactly that Name, -1 when none.
  int FindItem(std::string_view name) const;
  std::string_view Name(int index) const;
  std::string_view DisplayName(int index) const;
  int32_t Count(int index) const;
  int32_t MaxCount(int index) const;
  // Plug-in boundary: the address of item 0, null when there are no items.
  void* ArrayAddress();

  struct Impl;
  Impl* impl() { return impl_; }

 private:
  Impl* impl_;
};

void LoadDefinitions(Game& game);
void LoadState(Game& game);
void SaveInventory(Game& game);
void AddItemCount(Game& game, std::string_view name, int32_t amount);
void RemoveItemCount(Game& game, std::string_view name, int32_t amount);

}  // namespace velmora
