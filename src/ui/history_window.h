#pragma once
// The story so far: each page read in this run, with the choice taken on it, newest
// last. It shows the run's own record (Game::history), so it follows going back and
// loading a save. Self-voicing reads the entry the reader moves to.
#include <QDialog>

class QAction;
class QListWidget;

namespace velmora {

class Game;

class HistoryWindow : public QDialog {
  Q_OBJECT

 public:
  HistoryWindow(Game& game, QWidget* parent);
  // The main window's command that opens it (H), for its keys and menu.
  static QAction* AddCommand(Game& game, QWidget* mainWindow);
  QListWidget* pages;
  // Fills the list from the run's record and highlights the newest page.
  void Refill();

 private:
  Game& game_;
};

}  // namespace velmora
