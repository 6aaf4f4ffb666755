#include "ui/live_reload_driver.h"

#include <QMessageBox>
#include <QWidget>

#include "base/game.h"
#include "run/live_reload.h"

namespace velmora {

std::unique_ptr<LiveReloadDriver> LiveReloadDriver::Start(Game& game, std::unique_ptr<FolderWatch> watch,
                                                          QWidget* owner) {
  if (!watch) {
    game.WriteLog(2, "Live reload: the game folder cannot be watched");
    return nullptr;
  }
  return std::make_unique<LiveReloadDriver>(game, std::move(watch), owner);
}

LiveReloadDriver::LiveReloadDriver(Game& game, std::unique_ptr<FolderWatch> watch, QWidget* owner)
    : game_(game), watch_(std::move(watch)), notifier_(watch_->Descriptor(), QSocketNotifier::Read), owner_(owner) {
  connect(&notifier_, &QSocketNotifier::activated, this, &LiveReloadDriver::TakeUpChanges);
}

void LiveReloadDriver::TakeUpChanges() {
  for (const std::string& path : watch_->TakeChanges()) {
    const ReloadResult result = ReloadChangedFile(game_, path);
    if (result.reloaded) {
      if (notice_) notice_->close();
      continue;
    }
    if (result.notice.empty()) continue;
    // One notice at a time, not modal: the author goes on editing and playing.
    if (!notice_) {
      notice_ = new QMessageBox(QMessageBox::Warning, tr("Live reload"), QString(), QMessageBox::Ok, owner_);
      notice_->setAttribute(Qt::WA_DeleteOnClose);
      notice_->setModal(false);
      notice_->setAccessibleName(tr("Live reload"));
    }
    notice_->setText(tr("A file could not be taken up: %1").arg(QString::fromStdString(game_.codec.ToUtf8(result.notice))));
    notice_->show();
  }
}

}  // namespace velmora
