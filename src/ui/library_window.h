#pragma once
// The game library window: the games the player added, the one played last first (then
// those never played, by name), each with its caption, a thumbnail of its start page's
// picture, when it was last played and why its last start failed. Games are added with
// a folder dialog or by dropping folders on the window, found by scanning a folder one
// level down, removed, and played with Enter, a double-click or the Play button.
#include <QWidget>

#include <string>

class QListWidget;
class QPushButton;

namespace velmora {

class GameFiles;
class GameLibrary;

class LibraryWindow : public QWidget {
  Q_OBJECT

 public:
  // `files` reads the folders dropped on the window.
  LibraryWindow(GameLibrary& library, GameFiles& files, QWidget* parent = nullptr);

  QListWidget* gameList;
  QPushButton* addButton;
  QPushButton* scanButton;
  QPushButton* removeButton;
  QPushButton* playButton;
  QPushButton* continueButton;

  // Re-reads the library (a game may have changed or gone since).
  void Reload();
  // What the buttons and drops do, callable without the dialogs.
  void AddFolder(const QString& folder);
  void ScanFolder(const QString& folder);
  void RemoveSelected();
  void PlaySelected();
  void ContinueSelected();

 signals:
  void playRequested(const QString& folder);
  // Play the game from its automatic save.
  void continueRequested(const QString& folder);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Report(const QString& text);
  GameLibrary& library_;
  GameFiles& files_;
};

// Shows the library until the player closes it; every game the player picks is handed to
// `play` (the library hides meanwhile and comes back when the game ends).
// `resume`: from the game's automatic save.
using PlayFromLibrary = void (*)(const std::string& folder, bool resume, void* context);
int RunLibrary(int& argc, char** argv, GameLibrary& library, GameFiles& files, PlayFromLibrary play, void* context);

}  // namespace velmora
