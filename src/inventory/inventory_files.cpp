// The definitions file and the state file: one INI format, read item by item and
// written whole.
#include <algorithm>
#include <limits>
#include <unordered_set>

#include "inventory/inventory.h"
#include "base/fault.h"
#include "base/game.h"
#include "base/ini_document.h"
#include "base/int_text.h"
#include "base/text.h"
#include "script/interpreter.h"

namespace velmora {

namespace {

const char kDefinitionsFile[] = "Scripts\\inventory.inv";
const char kStateFile[] = "Scripts\\inventory.sav";

// A run of missing Item<n> sections yields one default item and then only a warning per
// section; a longer run than this (TotalItems=2000000000 in a three-item file) is
// reported in one line instead, so loading stays bounded by what the file holds.
constexpr int64_t kMaxWarningsPerGap = 100;
// A name compared costs about a cache line: records lie 1555 bytes apart.
constexpr int64_t kLookUpCostPerItem = 64;

std::string LineKey(int64_t k) { return "Line" + IntToStr(k); }
std::string ItemSection(int64_t n) { return "Item" + IntToStr(n); }

// Names in the list during one file load, so that a large file does not cost a scan of
// the list per item. Nothing else runs while a file loads.
using TakenNames = std::unordered_set<std::string>;

void LoadSection(Game& game, const IniDocument& file, std::string_view section, TakenNames* taken) {
  Inventory& inv = *game.inventory;
  ItemFields f;
  f.name = ShortStr(file.ReadText(section, "Name", "ITEM_NAME"));
  const bool exists = taken ? taken->count(f.name) > 0 : inv.FindItem(f.name) >= 0;
  if (exists) {
    game.WriteLog(2, "Item named " + f.name + " already exists!");
    return;
  }
  f.displayName = file.ReadText(section, "DisplayName", "ITEM_DNAME");
  f.picture = file.ReadText(section, "Picture", "default.jpg");
  f.count = file.ReadInteger(section, "Count", 0);
  f.maxCount = file.ReadInteger(section, "MaxCount", 1);
  f.enabled = file.ReadBool(section, "Enabled", false);
  f.script = file.ReadText(section, "Script", "");
  f.linesCount = file.ReadInteger(section, "LinesCount", 0);
  f.canEquip = file.ReadBool(section, "CanEquip", false);
  f.isEquipped = file.ReadBool(section, "IsEquipped", false);
  f.equipScript = file.ReadText(section, "EquipScript", "");
  f.unEquipScript = file.ReadText(section, "UnEquipScript", "");
  for (int32_t k = 0; k < f.linesCount; ++k) f.lines.push_back(file.ReadText(section, LineKey(k), ""));
  const std::string name = f.name;
  inv.Append(std::move(f));
  if (taken) taken->insert(name);
  game.WriteLog(1, "Added item named " + name);
}

// The n of the sections named Item<n> (as the loader forms the name) below total, in order.
std::vector<int64_t> PresentItemSections(const IniDocument& file, int64_t total) {
  std::vector<int64_t> present;
  for (const std::string& name : file.SectionNames()) {
    const std::optional<int64_t> n = NumberedName(name, "item");  // Item07 is not what Item7 forms
    if (n && *n < total) present.push_back(*n);
  }
  std::sort(present.begin(), present.end());
  return present;
}

// A value as the INI reader gives it back: blanks at either end and a pair of enclosing
// quotes would be stripped, so such values are quoted once more; a line break cannot be
// held by the format at all and would split the file, so it becomes a blank.
std::string IniValue(std::string_view value) {
  std::string v(value);
  std::replace_if(v.begin(), v.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  if (v.empty()) return v;
  const bool blankEdge = v.front() == ' ' || v.front() == '\t' || v.back() == ' ' || v.back() == '\t';
  const bool quoted = v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
  return (blankEdge || quoted) ? "\"" + v + "\"" : v;
}

void AddKey(std::string& out, std::string_view key, std::string_view value) {
  out.append(key).append("=").append(IniValue(value)).append("\r\n");
}

// Count after a change, saturating: a count that wrapped around would turn a large
// gift into a debt.
int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

void LoadItem(Game& game, const IniDocument& file, std::string_view section) {
  LoadSection(game, file, section, nullptr);
}

void LoadInventoryFile(Game& game, const std::string& path) {
  if (!game.files().FileExists(path)) return;
  const std::string resolved = game.files().Resolve(path);
  const IniDocument file(game.files(), resolved);
  const int64_t total = file.ReadInteger("Inventory", "TotalItems", 0);
  TakenNames taken;
  for (int i = 0; i < game.inventory->Size(); ++i) taken.emplace(game.inventory->Name(i));

  const std::vector<int64_t> present = PresentItemSections(file, total);
  int64_t lines = 0;
  TakenNames adding;  // names this file would add (one more for a run of missing sections)
  for (int64_t section : present) {
    lines += std::max(file.ReadInteger(ItemSection(section), "LinesCount", 0), 0);
    if (lines > kMaxInventoryLines)
      throw RuntimeFault("The inventory file " + resolved + " declares more than " + IntToStr(kMaxInventoryLines) +
                         " description lines and was not loaded");
    std::string name = ShortStr(file.ReadText(ItemSection(section), "Name", "ITEM_NAME"));
    if (!taken.count(name)) adding.insert(std::move(name));
    if (game.inventory->Size() + static_cast<int64_t>(adding.size()) >= kMaxItems)
      throw RuntimeFault("The inventory file " + resolved + " would make the inventory hold more than " +
                         IntToStr(kMaxItems) + " items and was not loaded");
  }
  size_t next = 0;  // the next present section
  int64_t n = 0;
  while (n < total) {
    if (next < present.size() && present[next] == n) {
      LoadSection(game, file, ItemSection(n), &taken);
      ++n;
      ++next;
      continue;
    }
    // A run of missing sections up to the next present one or the end.
    const int64_t gapEnd = next < present.size() ? present[next] : total;
    LoadSection(game, file, ItemSection(n), &taken);  // the default item, or its warning
    ++n;
    if (gapEnd - n > kMaxWarningsPerGap) {
      game.WriteLog(2, "Sections " + ItemSection(n) + " to " + ItemSection(gapEnd - 1) + " of " + resolved +
                           " not found, skipped!");
      n = gapEnd;
    }
  }
}

void LoadDefinitions(Game& game) { LoadInventoryFile(game, game.gameFolder() + kDefinitionsFile); }

void LoadState(Game& game) {
  SaveInventoryIfDue(game);
  LoadInventoryFile(game, game.gameFolder() + kStateFile);
}

std::string InventoryFileText(const Inventory& inv) {
  std::string out = "[Inventory]\r\n";
  AddKey(out, "TotalItems", IntToStr(inv.Size()));
  for (int i = 0; i < inv.Size(); ++i) {
    const ItemLines& lines = inv.Lines(i);
    out.append("[").append(ItemSection(i)).append("]\r\n");
    AddKey(out, "Name", inv.Name(i));
    AddKey(out, "DisplayName", inv.DisplayName(i));
    AddKey(out, "Script", inv.Script(i));
    AddKey(out, "Picture", inv.PictureFile(i));
    AddKey(out, "Count", IntToStr(inv.Count(i)));
    AddKey(out, "MaxCount", IntToStr(inv.MaxCount(i)));
    AddKey(out, "Enabled", inv.Count(i) > 0 ? "1" : "0");
    AddKey(out, "CanEquip", inv.CanEquip(i) ? "1" : "0");
    AddKey(out, "IsEquipped", inv.IsEquipped(i) ? "1" : "0");
    AddKey(out, "EquipScript", inv.EquipScript(i));
    AddKey(out, "UnEquipScript", inv.UnEquipScript(i));
    AddKey(out, "LinesCount", IntToStr(static_cast<int64_t>(lines.size())));
    for (size_t k = 0; k < lines.size(); ++k) AddKey(out, LineKey(static_cast<int64_t>(k)), lines[k]);
  }
  return out;
}

void SaveInventory(Game& game) {
  game.inventory->saveDue = true;
  if (game.interp->depth == 0) SaveInventoryIfDue(game);
}

void SaveInventoryIfDue(Game& game) {
  if (!game.inventory->saveDue) return;
  game.inventory->saveDue = false;
  // Written whole and swapped in, never emptied and refilled key by key: a crash or a
  // full disk mid-save must not cost the player the inventory saved before. Nothing
  // reads it back during the run but $load, so it is not kept parsed.
  const std::string path = game.files().Resolve(game.gameFolder() + kStateFile);
  if (!game.files().Replace(path, InventoryFileText(*game.inventory))) throw RuntimeFault("Unable to write to " + path);
}

int LookUpItem(Game& game, std::string_view name) {
  game.work.Charge(kLookUpCostPerItem * game.inventory->Size());
  return game.inventory->FindItem(name);
}

void AddItemCount(Game& game, std::string_view name, int32_t amount) {
  Inventory& inv = *game.inventory;
  const int i = LookUpItem(game, name);
  if (i >= 0) {
    int32_t count = Saturate(static_cast<int64_t>(inv.Count(i)) + amount);
    if (count > inv.MaxCount(i)) count = inv.MaxCount(i);
    inv.SetCount(i, count);
    inv.SetEnabled(i, count > 0);
  }
  SaveInventory(game);
}

void RemoveItemCount(Game& game, std::string_view name, int32_t amount) {
  Inventory& inv = *game.inventory;
  const int i = LookUpItem(game, name);
  if (i >= 0) {
    int32_t count = Saturate(static_cast<int64_t>(inv.Count(i)) - amount);
    if (count < 0) count = 0;
    inv.SetCount(i, count);
    inv.SetEnabled(i, count > 0);
  }
  SaveInventory(game);
}

}  // namespace velmora
