#pragma once
// Author mode in the windows: the game folder's watch, waited on by the event loop; each
// change is taken up by the core's live reload, and a file that no longer reads is named
// in a notice beside the main window.
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <memory>

#include "base/folder_watch.h"

class QWidget;

namespace velmora {

class Game;

class LiveReloadDriver : public QObject {
  Q_OBJECT

 public:
  // Null when there is no watch (the folder cannot be watched); the game then plays on.
  static std::unique_ptr<LiveReloadDriver> Start(Game& game, std::unique_ptr<FolderWatch> watch, QWidget* owner);
  LiveReloadDriver(Game& game, std::unique_ptr<FolderWatch> watch, QWidget* owner);

  // Takes up the changes waiting now (the notifier calls it; tests may too).
  void TakeUpChanges();
  // The notice of the last reload that failed, while it is shown.
  QMessageBox* notice() const { return notice_; }

 private:
  Game& game_;
  std::unique_ptr<FolderWatch> watch_;
  QSocketNotifier notifier_;
  QWidget* owner_;
  QPointer<QMessageBox> notice_;
};

}  // namespace velmora
