#pragma once
// Saved games in the windows: the main window's actions for them, each with its keys, so
// that a menu can offer them too.
//   F5 quick save, F9 quick load, Ctrl+S the Save window, Ctrl+O the Load window,
//   Backspace or Ctrl+Z back to before the last choice.
// What a step did, or why it could not, is said briefly over the main window.
#include <QObject>
#include <memory>
#include <string>

#include "save/save_games.h"

class QAction;

namespace velmora {

class Game;
class MainWindow;

class SaveActions : public QObject {
  Q_OBJECT

 public:
  SaveActions(Game& game, MainWindow& window);
  ~SaveActions() override;

  QAction* quickSave;
  QAction* quickLoad;
  QAction* save;  // opens the Save window
  QAction* load;  // opens the Load window
  QAction* back;

  SaveGames& saves() { return *saves_; }
  // The main window as PNG bytes, the thumbnail a save keeps.
  std::string Thumbnail() const;

 private:
  void Tell(const SaveGames::Outcome& outcome, int slot);
  void OpenWindow(bool saving);

  Game& game_;
  MainWindow& window_;
  std::unique_ptr<SaveGames> saves_;
};

}  // namespace velmora
