#pragma once
// What the inventory window (TForm3) shows and holds, without any widget.
#include <functional>
#include <string>
#include <string_view>

namespace velmora {

class Game;

class InventoryForm {
 public:
  bool visible = false;
  int left = 0, top = 0;
  void Changed() {
    if (onChanged) onChanged();
  }
  std::function<void()> onChanged;
};

// Reloads the definitions, puts the window on the main window's top-left corner, shows it.
void ShowInventory(Game& game);
void HideInventory(Game& game);
// Runs an item's script, then saves the inventory (also when the script is missing).
void UseItemScript(Game& game, std::string_view script);

}  // namespace velmora
