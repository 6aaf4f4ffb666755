#pragma once
// The Save and Load windows: a grid of the game's slots (the quick slot, then 1 to 99),
// each with the thumbnail of the main window at its saving, its name, the page's first
// line, the date and the time played. A name can be edited (it is kept with the save),
// a save deleted (the Delete key too). Saving over a save and deleting one ask first,
// naming the slot. Saving takes the chosen slot; loading restores it and closes the
// window; the Load window opens at the newest save.
#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "save/save_games.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace velmora {

class Game;

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

  // The line the last save or load left ("saved: slot 3"); empty when none ran. The
  // same in the user's language.
  const std::string& lastMessage() const { return lastMessage_; }
  const QString& lastOutcomeText() const { return lastOutcomeText_; }

  void Refill();

 private:
  int SelectedSlot() const;
  void SlotSelected();
  void Act();
  void Rename();
  void Delete();
  QString SlotName() const;  // the selected slot in words, with its name

  Game& game_;
  SaveGames& saves_;
  Mode mode_;
  std::function<std::string()> thumbnail_;
  std::string lastMessage_;
  QString lastOutcomeText_;
};

// In the user's language: "slot 3" or "the quick slot"; "4 min", "1 h 12 min"; what a
// save, load or going back did.
QString SlotText(int slot);
QString PlayedText(int64_t ms);
QString SaveOutcomeText(const SaveGames::Outcome& outcome, int slot);

}  // namespace velmora
