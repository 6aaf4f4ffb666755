#pragma once
// The Save and Load windows: a grid of the game's slots (the quick slot, then 1 to 99),
// each with the thumbnail of the main window at its saving, its name, the page's first
// line, the date and the time played. A name can be edited (it is kept with the save),
// a save deleted. Saving takes the chosen slot; loading restores it and closes the window.
#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace velmora {

class Game;
class SaveGames;

class SaveLoadWindow : public QDialog {
  Q_OBJECT

 public:
  enum class Mode { kSave, kLoad };
  // thumbnail: PNG bytes of the main window as it is now, asked for when saving.
  SaveLoadWindow(Game& game, SaveGames& saves, Mode mode, std::function<std::string()> thumbnail,
                 QWidget* parent = nullptr);

  QListWidget* slotGrid;
  QLineEdit* nameField;
  QPushButton* actionButton;  // "Save" or "Load"
  QPushButton* deleteButton;
  QPushButton* closeButton;

  // The line the last save or load left ("saved: slot 3"); empty when none ran.
  const std::string& lastMessage() const { return lastMessage_; }

  void Refill();

 private:
  int SelectedSlot() const;
  void SlotSelected();
  void Act();
  void Rename();
  void Delete();

  Game& game_;
  SaveGames& saves_;
  Mode mode_;
  std::function<std::string()> thumbnail_;
  std::string lastMessage_;
};

}  // namespace velmora
