#include "ui/save_actions.h"

#include <QAction>
#include <QBuffer>
#include <QKeySequence>
#include <QPixmap>

#include "base/game.h"
#include "save/save_games.h"
#include "ui/main_window.h"
#include "ui/notice.h"
#include "ui/save_load_window.h"

namespace velmora {

namespace {

constexpr int kThumbnailWidth = 320;

QAction* NewAction(MainWindow& window, const QString& text, const char* name, QList<QKeySequence> keys) {
  auto* action = new QAction(text, &window);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcuts(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  window.addAction(action);
  return action;
}

}  // namespace

SaveActions::SaveActions(Game& game, MainWindow& window)
    : QObject(&window), game_(game), window_(window), saves_(std::make_unique<SaveGames>(game)) {
  quickSave = NewAction(window, tr("Quick save"), "quickSave", {QKeySequence(Qt::Key_F5)});
  quickLoad = NewAction(window, tr("Quick load"), "quickLoad", {QKeySequence(Qt::Key_F9)});
  save = NewAction(window, tr("Save..."), "saveGame", {QKeySequence(Qt::CTRL | Qt::Key_S)});
  load = NewAction(window, tr("Load..."), "loadGame", {QKeySequence(Qt::CTRL | Qt::Key_O)});
  back = NewAction(window, tr("Back"), "goBack", {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::CTRL | Qt::Key_Z)});

  connect(quickSave, &QAction::triggered, this, [this] {
    Tell(saves_->Save(kQuickSlot, Thumbnail()), kQuickSlot);
  });
  connect(quickLoad, &QAction::triggered, this, [this] {
    Tell(saves_->Load(kQuickSlot), kQuickSlot);
  });
  connect(save, &QAction::triggered, this, [this] { OpenWindow(true); });
  connect(load, &QAction::triggered, this, [this] { OpenWindow(false); });
  connect(back, &QAction::triggered, this, [this] {
    Tell(saves_->Back(), kQuickSlot);
  });
}

SaveActions::~SaveActions() = default;

std::string SaveActions::Thumbnail() const {
  const QPixmap shot = window_.grab().scaledToWidth(kThumbnailWidth, Qt::SmoothTransformation);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  shot.save(&buffer, "PNG");
  return std::string(png.constData(), static_cast<size_t>(png.size()));
}

void SaveActions::Tell(const SaveGames::Outcome& outcome, int slot) { ShowNotice(window_, SaveOutcomeText(outcome, slot)); }

void SaveActions::OpenWindow(bool saving) {
  SaveLoadWindow dialog(game_, *saves_, saving ? SaveLoadWindow::Mode::kSave : SaveLoadWindow::Mode::kLoad,
                        [this] { return Thumbnail(); }, &window_);
  if (dialog.exec() == QDialog::Accepted) ShowNotice(window_, dialog.lastOutcomeText());
}

}  // namespace velmora
