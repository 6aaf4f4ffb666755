#include "ui/copy_progress.h"

#include <QApplication>
#include <QProgressDialog>
#include <algorithm>
#include <memory>

namespace velmora {

CopyProgress WindowCopyProgress(int& argc, char** argv) {
  // The application made here stays for the game's windows, which take the existing one.
  static std::unique_ptr<QApplication> own;
  if (!QApplication::instance()) own = std::make_unique<QApplication>(argc, argv);
  // Made at the first call, so that a game that needs no copy never has a dialog whose
  // show timer could fire later, and gone once the copy is complete.
  auto dialog = std::make_shared<std::unique_ptr<QProgressDialog>>();
  return [dialog](uint64_t done, uint64_t total) {
    if (!*dialog) {
      *dialog = std::make_unique<QProgressDialog>();
      QProgressDialog& d = **dialog;
      d.setWindowTitle(QStringLiteral("Velmora Player"));
      d.setLabelText(QStringLiteral("Copying the game into your own folder, so that playing never changes the original..."));
      d.setCancelButton(nullptr);  // a copy cannot be broken off halfway; the game needs it whole
      d.setMinimumDuration(500);   // small games are copied before it would show
    }
    QProgressDialog& d = **dialog;
    // Kibibytes keep the range within int for any game up to terabytes.
    const int maximum = static_cast<int>(std::max<uint64_t>(total / 1024, 1));
    if (d.maximum() != maximum) d.setMaximum(maximum);
    d.setValue(static_cast<int>(std::min<uint64_t>(done / 1024, static_cast<uint64_t>(maximum))));
    QCoreApplication::processEvents();
    if (done >= total) dialog->reset();
  };
}

}  // namespace velmora
