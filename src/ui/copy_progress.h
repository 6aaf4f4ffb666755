#pragma once
// The progress of copying a game that is not writable into the player's own folder,
// shown in a window while the copy takes long enough to be noticed.
#include <memory>

#include "library/game_copy.h"

class QApplication;
class QProgressDialog;

namespace velmora {

class CopyProgressWindow {
 public:
  // Makes the Qt application when none exists yet; it lives as long as this object, so
  // the game's windows that follow take it over.
  CopyProgressWindow(int& argc, char** argv);
  ~CopyProgressWindow();
  CopyProgressWindow(const CopyProgressWindow&) = delete;
  CopyProgressWindow& operator=(const CopyProgressWindow&) = delete;

  // For PrepareGameFolder: shows a progress dialog once the copy has run for half a
  // second, and closes it when the copy is complete.
  CopyProgress Callback();

 private:
  void Report(uint64_t done, uint64_t total);
  std::unique_ptr<QApplication> ownApplication_;
  // Made at the first report, so that a game that needs no copy never has a dialog whose
  // show timer could fire later.
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace velmora
