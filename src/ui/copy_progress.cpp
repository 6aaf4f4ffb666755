#include "ui/copy_progress.h"

#include <QApplication>
#include <QProgressDialog>
#include <algorithm>

namespace velmora {

CopyProgressWindow::CopyProgressWindow(int& argc, char** argv) {
  if (!QApplication::instance()) ownApplication_ = std::make_unique<QApplication>(argc, argv);
}

CopyProgressWindow::~CopyProgressWindow() {
  dialog_.reset();  // before the application it belongs to
}

CopyProgress CopyProgressWindow::Callback() {
  return [this](uint64_t done, uint64_t total) { Report(done, total); };
}

void CopyProgressWindow::Report(uint64_t done, uint64_t total) {
  if (!dialog_) {
    dialog_ = std::make_unique<QProgressDialog>();
    dialog_->setWindowTitle(QStringLiteral("Velmora Player"));
    dialog_->setLabelText(QCoreApplication::translate(
        "velmora::CopyProgressWindow", "Copying the game into your own folder, so that playing never changes the original..."));
    dialog_->setCancelButton(nullptr);  // a copy cannot be broken off halfway; the game needs it whole
    dialog_->setMinimumDuration(500);   // small games are copied before it would show
  }
  // Kibibytes keep the range within int for any game up to terabytes.
  const int maximum = static_cast<int>(std::max<uint64_t>(total / 1024, 1));
  if (dialog_->maximum() != maximum) dialog_->setMaximum(maximum);
  dialog_->setValue(static_cast<int>(std::min<uint64_t>(done / 1024, static_cast<uint64_t>(maximum))));
  QCoreApplication::processEvents();
  if (done >= total) dialog_.reset();
}

}  // namespace velmora
