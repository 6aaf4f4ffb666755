// The $inventory. commands. Item and variable tokens are taken literally; amounts are
// integer operands.
#include "inventory/inventory_commands.h"

#include "inventory/inventory.h"
#include "inventory/inventory_window_state.h"
#include "base/game.h"
#include "vars/var_store.h"

namespace velmora {

namespace {

// The result variable of a reporting command. A script that forgot to create it learns
// so from the log, as with every other command that needs an existing variable; nothing
// is created behind its back.
int ResultVar(Game& game, const std::string& name, bool isString) {
  const int v = game.vars->FindVar(name, isString);
  if (v < 0) game.WriteLog(3, "Variable " + name + " not found!");
  return v;
}

}  // namespace

void CmdInventoryShow(Game& game, const TokenList&, int32_t) {
  game.inventoryWindow->Show(game);
}

void CmdInventoryHide(Game& game, const TokenList&, int32_t) {
  game.inventoryWindow->Hide();
}

void CmdInventoryAdd(Game& game, const TokenList& t, int32_t p) {
  const std::string& item = Arg(t, p + 1);
  AddItemCount(game, item, game.vars->IntOperand(Arg(t, p + 2)));
}

void CmdInventoryRemove(Game& game, const TokenList& t, int32_t p) {
  const std::string& item = Arg(t, p + 1);
  RemoveItemCount(game, item, game.vars->IntOperand(Arg(t, p + 2)));
}

void CmdInventoryGetItemCount(Game& game, const TokenList& t, int32_t p) {
  const int i = LookUpItem(game, Arg(t, p + 1));
  const int v = ResultVar(game, Arg(t, p + 2), false);
  if (v >= 0) game.vars->SetIntValue(v, i >= 0 ? game.inventory->Count(i) : -1);
}

void CmdInventoryUsable(Game& game, const TokenList& t, int32_t p) {
  const int i = LookUpItem(game, Arg(t, p + 1));
  const int v = ResultVar(game, Arg(t, p + 2), false);
  // 0 means usable.
  if (v >= 0 && i >= 0) game.vars->SetIntValue(v, game.inventory->Enabled(i) ? 0 : 1);
}

void CmdInventoryUse(Game& game, const TokenList& t, int32_t p) {
  const int i = LookUpItem(game, Arg(t, p + 1));
  // The script runs inside this command: the position moves on only after it and its save.
  if (i >= 0) UseItemScript(game, std::string(game.inventory->Script(i)));
}

void CmdInventoryDisplayName(Game& game, const TokenList& t, int32_t p) {
  const int i = LookUpItem(game, Arg(t, p + 1));
  const int v = ResultVar(game, Arg(t, p + 2), true);
  if (v >= 0) game.vars->SetStrValue(v, i >= 0 ? game.inventory->DisplayName(i) : std::string_view());
}

namespace {

// clang-format off
// Fixed(name, width, speed, handler)
constexpr CommandInfo kRows[] = {
  Fixed("$inventory.show", 2, kSlow, CmdInventoryShow),                 // (ignored): show the inventory window
  Fixed("$inventory.hide", 2, kSlow, CmdInventoryHide),                 // (ignored): hide the inventory window
  Fixed("$inventory.add", 3, kSlow, CmdInventoryAdd),                   // item amount
  Fixed("$inventory.remove", 3, kSlow, CmdInventoryRemove),             // item amount
  Fixed("$inventory.GetItemCount", 3, kQuick, CmdInventoryGetItemCount), // item intvar
  Fixed("$inventory.Usable", 3, kQuick, CmdInventoryUsable),            // item intvar (0 means usable)
  Fixed("$inventory.Use", 2, kSlow, CmdInventoryUse),                   // item: run its script
  Fixed("$inventory.DisplayName", 3, kQuick, CmdInventoryDisplayName),  // item strvar
};
// clang-format on

}  // namespace

CommandRows InventoryCommands() { return kRows; }

}  // namespace velmora
