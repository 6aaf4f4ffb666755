#pragma once
// What the inventory window (InventoryWindow) shows and holds, without any widget: the front end
// draws this state and forwards the player's input to the operations below.
//
// Game texts here (list entries, the item's name, the description) are bytes in the
// game's code page; the captions are the window's own and are UTF-8.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"

namespace velmora {

class Game;

class InventoryWindowState {
 public:
  // Parts of the window a change touches, so views redraw only what changed.
  enum Part : unsigned {
    kVisibility = 1u << 0,
    kGeometry = 1u << 1,
    kList = 1u << 2,       // entries and the selected one
    kDetail = 1u << 3,     // picture, the two value labels, the memo
    kButtons = 1u << 4,    // enabled states and the wear button's caption
    kBringToFront = 1u << 5,
    kAll = (1u << 6) - 1,
  };

  static constexpr int kClientWidth = 575;
  static constexpr int kClientHeight = 628;
  static constexpr int kListEntryHeight = 16;
  static constexpr const char* kCaption = "Инвентарь";
  static constexpr const char* kItemCaption = "Предмет:";
  static constexpr const char* kCountCaption = "Кол-во:";
  static constexpr const char* kDescriptionCaption = "Описание:";
  static constexpr const char* kUseCaption = "Ипольз.";
  static constexpr const char* kWearCaption = "Надеть";
  static constexpr const char* kTakeOffCaption = "Снять";
  static constexpr const char* kCloseCaption = "Закрыть";
  // The picture shown when no item is selected, below the game folder.
  static constexpr const char* kNeutralPicture = "Images\\default.jpg";
  // sImage1's box: a larger picture shrinks to fit it, a smaller one keeps its size.
  static constexpr PictureBox kPictureBox{250, 250, PictureBox::Fill::kShrinkToFit};

  bool visible = false;
  int left = 0, top = 0;

  std::vector<std::string> entries;  // sListBox1: display names of the held items
  int selectedEntry = -1;            // -1: no entry selected

  std::shared_ptr<const Picture> picture;  // sImage1; null: empty picture
  std::string pictureFile;                 // below the game folder, as formed ("Images\...")
  std::string itemName = "ITEM_NAME";      // sLabel2
  std::string itemCount = "ITEM_COUNT";    // sLabel4
  std::vector<std::string> description = {"ITEM_DESCRIPTION"};  // sMemo1

  bool useEnabled = true;    // sButton1
  bool wearEnabled = false;  // sButton3
  bool wearTakesOff = false;  // sButton3 reads "Снять" rather than "Надеть"

  // The inventory index of the item last selected in the list (SelectedItem).
  int32_t selectedItem = 0;

  // Reloads the definitions, puts the window on the main window's top-left corner, shows it
  // (rebuilding it when it was hidden) and brings it to the front. For scripts, inside
  // their event; a fault (a picture that cannot be loaded) reaches the caller.
  void Show(Game& game);
  void Hide();

  // What the player does, each as one window event (faults end in the error dialog). A
  // window that is hidden, or a button that is disabled, takes no input, as on screen.
  void Open(Game& game);               // the main window's title-bar item
  void Select(Game& game, int entry);  // from 0; out of range selects nothing (sListBox1Click)
  void PressUse(Game& game);           // sButton1Click
  void PressWear(Game& game);          // wear or take off (sButton3Click)
  void Close(Game& game);              // the close button (sButton2Click) or the close box

  void Changed(unsigned parts) {
    if (onChanged) onChanged(parts);
    if (onNarration) onNarration(parts);
  }
  std::function<void(unsigned)> onChanged;    // the view
  std::function<void(unsigned)> onNarration;  // self-voicing, told after the view
  // Tells the view about every change marked since the last flush. Operations flush when
  // they end (also by a fault) and before they run an item script, whose message boxes
  // let the screen repaint meanwhile.
  void Mark(unsigned parts) { pending_ |= parts; }
  void Flush();

 private:
  void FillList(Game& game);
  void ResetDetail(Game& game);
  void ShowPicture(Game& game, std::string file);
  unsigned pending_ = 0;
};

// Runs an item's script, then saves the inventory (also when the script is missing).
void UseItemScript(Game& game, std::string_view script);

// The window as text, one line each, in UTF-8, for the replay transcript and the
// terminal player: visibility and position, the list (the selected entry marked), the
// picture's file, the labels, the memo and the buttons.
std::vector<std::string> DescribeInventoryWindow(Game& game);

}  // namespace velmora
