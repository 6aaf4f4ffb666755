#include "inventory/inventory_window_state.h"

#include "inventory/inventory.h"
#include "script/script_library.h"
#include "base/game.h"
#include "base/main_window_state.h"
#include "base/text.h"
#include "base/pictures.h"

namespace velmora {

namespace {

// Flushes the window's marked changes when a handler ends, however it ends.
class FlushAtEnd {
 public:
  explicit FlushAtEnd(InventoryWindowState& window) : window_(window) {}
  ~FlushAtEnd() { window_.Flush(); }
  FlushAtEnd(const FlushAtEnd&) = delete;
  FlushAtEnd& operator=(const FlushAtEnd&) = delete;

 private:
  InventoryWindowState& window_;
};

bool ValidItem(const Game& game, int32_t index) { return index >= 0 && index < game.inventory->Size(); }

std::string CountText(const Inventory& inv, int i) {
  if (inv.MaxCount(i) <= 1) return IntToStr(inv.Count(i));
  return IntToStr(inv.Count(i)) + "\\" + IntToStr(inv.MaxCount(i));
}

// A button's click: one window event acting on the item last selected. The view learns
// what changed before the item's script runs, whose message boxes let the screen repaint.
template <typename Act>
void PressForSelectedItem(Game& game, InventoryWindowState& window, bool enabled, const Act& act) {
  if (!window.visible || !enabled) return;
  game.RunEvent([&] {
    FlushAtEnd flush(window);
    const int32_t i = window.selectedItem;
    if (!ValidItem(game, i)) return;
    window.Flush();
    act(*game.inventory, i);
  });
}

}  // namespace

void InventoryWindowState::Flush() {
  const unsigned parts = pending_;
  pending_ = 0;
  if (parts) Changed(parts);
}

void InventoryWindowState::ShowPicture(Game& game, std::string file) {
  picture = LoadPicture(game, game.gameFolder() + file, kPictureBox);
  pictureFile = std::move(file);
  Mark(kDetail);
}

void InventoryWindowState::FillList(Game& game) {
  const Inventory& inv = *game.inventory;
  entries.clear();
  selectedEntry = -1;
  for (int i = 0; i < inv.Size(); ++i)
    if (inv.Enabled(i)) entries.emplace_back(inv.DisplayName(i));
  Mark(kList);
}

// The wear button keeps its caption and enabled state from the last selection.
void InventoryWindowState::ResetDetail(Game& game) {
  useEnabled = false;
  selectedEntry = -1;
  Mark(kButtons | kList);
  ShowPicture(game, kNeutralPicture);
  itemName.clear();
  itemCount.clear();
  description.clear();
}

void InventoryWindowState::Show(Game& game) {
  FlushAtEnd flush(*this);
  LoadDefinitions(game);
  left = game.mainWindow->left;
  top = game.mainWindow->top;
  Mark(kGeometry);
  if (!visible) {
    // Shown before it is rebuilt: a rebuild that fails on a missing neutral picture
    // leaves the window on screen with what it had.
    visible = true;
    Mark(kVisibility);
    FillList(game);
    ResetDetail(game);
  }
  Mark(kBringToFront);
}

void InventoryWindowState::Hide() {
  visible = false;
  Mark(kVisibility);
  Flush();
}

void InventoryWindowState::Open(Game& game) {
  game.RunEvent([&] { Show(game); });
}

void InventoryWindowState::Select(Game& game, int entry) {
  if (!visible) return;
  selectedEntry = entry >= 0 && entry < static_cast<int>(entries.size()) ? entry : -1;
  Mark(kList | kButtons);
  game.RunEvent([&] {
    FlushAtEnd flush(*this);
    if (selectedEntry < 0) {
      useEnabled = false;
      return;
    }
    useEnabled = true;
    Inventory& inv = *game.inventory;
    selectedItem = inv.FindItemByDisplayName(entries[static_cast<size_t>(selectedEntry)]);
    if (selectedItem < 0) return;
    const int i = selectedItem;
    Mark(kDetail);
    itemName = std::string(inv.DisplayName(i));
    itemCount = CountText(inv, i);
    // The substituted text becomes the item's description for good: the state file keeps
    // it, and a later selection only substitutes what references are left.
    game.substituteReferences(game, inv.Lines(i));
    wearTakesOff = inv.IsEquipped(i);
    wearEnabled = inv.CanEquip(i);
    description = inv.Lines(i);
    ShowPicture(game, "Images\\" + std::string(inv.PictureFile(i)));
  });
}

void InventoryWindowState::PressUse(Game& game) {
  PressForSelectedItem(game, *this, useEnabled, [&](Inventory& inv, int32_t i) {
    UseItemScript(game, std::string(inv.Script(i)));
    if (inv.Count(i) <= 0) inv.SetEnabled(i, false);
    FillList(game);
    ResetDetail(game);
    SaveInventory(game);
  });
}

void InventoryWindowState::PressWear(Game& game) {
  PressForSelectedItem(game, *this, wearEnabled, [&](Inventory& inv, int32_t i) {
    // The button acts on the item's flag, not on its caption, which is only brought up to
    // date by the next selection.
    const bool worn = inv.IsEquipped(i);
    UseItemScript(game, std::string(worn ? inv.UnEquipScript(i) : inv.EquipScript(i)));
    inv.SetEquipped(i, !worn);
    SaveInventory(game);
  });
}

void InventoryWindowState::Close(Game& game) {
  if (visible) game.RunEvent([&] { Hide(); });
}

void UseItemScript(Game& game, std::string_view script) {
  RunScript(game, script);
  SaveInventory(game);
}

std::vector<std::string> DescribeInventoryWindow(Game& game) {
  const InventoryWindowState& window = *game.inventoryWindow;
  const TextCodec& codec = game.codec;
  if (!window.visible) return {"inventory: hidden"};
  std::vector<std::string> out;
  out.push_back("inventory: shown at " + IntToStr(window.left) + "," + IntToStr(window.top));
  out.push_back("list: " + IntToStr(static_cast<int64_t>(window.entries.size())) + " entries");
  for (size_t k = 0; k < window.entries.size(); ++k) {
    const bool selected = static_cast<int>(k) == window.selectedEntry;
    out.push_back((selected ? "> " : "  ") + IntToStr(static_cast<int64_t>(k) + 1) + ". " +
                  codec.ToUtf8(window.entries[k]));
  }
  out.push_back("picture: " + (window.picture ? codec.ToUtf8(window.pictureFile) : std::string("none")));
  out.push_back(std::string(InventoryWindowState::kItemCaption) + " " + codec.ToUtf8(window.itemName));
  out.push_back(std::string(InventoryWindowState::kCountCaption) + " " + codec.ToUtf8(window.itemCount));
  out.push_back(std::string(InventoryWindowState::kDescriptionCaption));
  for (const std::string& line : window.description) out.push_back("  | " + codec.ToUtf8(line));
  auto button = [](const char* caption, bool enabled) {
    return std::string("[") + caption + (enabled ? "]" : " (disabled)]");
  };
  out.push_back("buttons: " + button(InventoryWindowState::kUseCaption, window.useEnabled) + " " +
                button(window.wearTakesOff ? InventoryWindowState::kTakeOffCaption : InventoryWindowState::kWearCaption,
                       window.wearEnabled) +
                " " + button(InventoryWindowState::kCloseCaption, true));
  return out;
}

}  // namespace velmora
