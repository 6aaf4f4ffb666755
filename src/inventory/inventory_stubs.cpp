// Placeholder until the inventory lands.
#include "inventory/inventory.h"
#include "inventory/inventory_form.h"
#include "script/script_library.h"

namespace velmora {

struct Inventory::Impl {};
Inventory::Inventory() : impl_(nullptr) {}
Inventory::~Inventory() = default;
int Inventory::Size() const { return 0; }
int Inventory::FindItem(std::string_view) const { return -1; }
std::string_view Inventory::Name(int) const { return {}; }
std::string_view Inventory::DisplayName(int) const { return {}; }
int32_t Inventory::Count(int) const { return 0; }
int32_t Inventory::MaxCount(int) const { return 0; }
void* Inventory::ArrayAddress() { return nullptr; }
void LoadDefinitions(Game&) {}
void LoadState(Game&) {}
void SaveInventory(Game&) {}
void AddItemCount(Game&, std::string_view, int32_t) {}
void RemoveItemCount(Game&, std::string_view, int32_t) {}
void ShowInventory(Game&) {}
void HideInventory(Game&) {}
void UseItemScript(Game& game, std::string_view script) { RunScript(game, script); }

}  // namespace velmora
