#pragma once
// The items a story knows about, kept in the memory form plug-ins read (a dynamic array
// of TInvItem records), and the two files behind them.
//
// Items are only ever appended, so an index stays valid for the run; the array itself
// may move when it grows, so nothing keeps a pointer into it across anything that may
// load items (a script, a reload of the definitions). Each item owns its description
// lines; the record's Lines field points at them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "velmora/plugin.h"

namespace velmora {

class Game;
class IniDocument;

using ItemLines = std::vector<std::string>;

// Declared description lines that a file may bring in all: LinesCount=2000000000, or ten
// thousand items of ten thousand lines each, must not fill memory with empty lines. The
// bound is on the whole file, which is refused past it: a description is never cut.
constexpr int64_t kMaxInventoryLines = 1'000'000;
// Items the list may hold: each is a record of 1555 bytes that plug-ins read, and every
// change rewrites the state file with all of them. A file that would take the list past
// this is refused whole.
constexpr int64_t kMaxItems = 100'000;

// One item as read from a file, before it joins the list. Texts longer than a short
// string are cut when the item is appended.
struct ItemFields {
  std::string name = "ITEM_NAME";
  std::string displayName = "ITEM_DNAME";
  std::string picture = "default.jpg";
  int32_t count = 0;
  int32_t maxCount = 1;
  bool enabled = false;
  std::string script;
  int32_t linesCount = 0;  // as declared, whatever lines holds
  bool canEquip = false;
  bool isEquipped = false;
  std::string equipScript;
  std::string unEquipScript;
  ItemLines lines;
  bool operator==(const ItemFields&) const = default;
};

class Inventory {
 public:
  Inventory();
  ~Inventory();
  Inventory(const Inventory&) = delete;
  Inventory& operator=(const Inventory&) = delete;

  int Size() const;
  // Index of the first item with exactly that Name, -1 when none.
  int FindItem(std::string_view name) const;
  // Index of the first item with exactly that DisplayName, held or not; -1 when none.
  int FindItemByDisplayName(std::string_view displayName) const;

  // Appends an item (no check for a taken name); returns its index.
  int Append(ItemFields fields);
  // The item as fields, and emptying the list, for putting a saved inventory back. The
  // array's block stays where it is until it must grow, as with appending.
  ItemFields Fields(int index) const;
  void Clear();

  std::string_view Name(int index) const;
  std::string_view DisplayName(int index) const;
  std::string_view PictureFile(int index) const;
  int32_t Count(int index) const;
  int32_t MaxCount(int index) const;
  bool Enabled(int index) const;
  std::string_view Script(int index) const;
  int32_t LinesCount(int index) const;
  bool CanEquip(int index) const;
  std::string_view EquipScript(int index) const;
  std::string_view UnEquipScript(int index) const;
  bool IsEquipped(int index) const;
  // The item's own description lines; substitution rewrites them in place.
  ItemLines& Lines(int index);
  const ItemLines& Lines(int index) const;

  void SetCount(int index, int32_t count);
  void SetEnabled(int index, bool enabled);
  void SetEquipped(int index, bool equipped);

  // The record as plug-ins see it.
  const TInvItem& Record(int index) const;
  // Plug-in boundary: the address of item 0, null when there are no items.
  void* ArrayAddress();

  struct Impl;
  Impl* impl() { return impl_; }

  // A rewrite of the state file put off to the end of the script chain that changed it.
  bool saveDue = false;

 private:
  TInvItem& At(int index) const;
  Impl* impl_;
};

// Reads one item section of an open inventory file and appends the item unless an item
// of that name is already in the list (then a warning and nothing else is read).
void LoadItem(Game& game, const IniDocument& file, std::string_view section);
// Reads TotalItems and the Item<n> sections; nothing at all when the file is missing.
void LoadInventoryFile(Game& game, const std::string& path);
// Scripts\inventory.inv, at start-up and whenever the inventory window is opened.
void LoadDefinitions(Game& game);
// Scripts\inventory.sav, by $load.
void LoadState(Game& game);
// Rewrites Scripts\inventory.sav from the list in one atomic replace. A failed write is
// the fault "Unable to write to <path>", and the previous file stays whole.
//
// Inside a script chain the rewrite is put off to the chain's end (the window event's,
// Game::RunEvent), and made before anything reads the file: a loop of adds writes and
// syncs the file once, not once per add. Nothing but $load reads it during a run.
void SaveInventory(Game& game);
// The rewrite put off, if one is due.
void SaveInventoryIfDue(Game& game);
// FindItem for a script: the scan is charged to the chain's work, in proportion to the list.
int LookUpItem(Game& game, std::string_view name);
// The state file's text for the current list.
std::string InventoryFileText(const Inventory& inventory);
void AddItemCount(Game& game, std::string_view name, int32_t amount);
void RemoveItemCount(Game& game, std::string_view name, int32_t amount);

}  // namespace velmora
