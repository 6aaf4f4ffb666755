#include "ui/save_load_window.h"
#include "ui/self_voicing.h"

#include <vector>

#include <QDateTime>
#include <QLocale>
#include <QShortcut>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/game.h"
#include "save/save_games.h"
#include "ui/notice.h"

namespace velmora {

namespace {

constexpr int kThumbWidth = 176, kThumbHeight = 132;

// Asks a question with two answers, the safe one the default (Escape gives it too).
bool Confirm(QWidget* owner, const char* name, const QString& question, const QString& yes) {
  QMessageBox box(QMessageBox::Question, owner->windowTitle(), question, QMessageBox::NoButton, owner);
  box.setObjectName(QString::fromLatin1(name));
  box.setTextFormat(Qt::PlainText);
  QPushButton* doIt = box.addButton(yes, QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton(SaveLoadWindow::tr("Cancel"), QMessageBox::RejectRole);
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  box.exec();
  return box.clickedButton() == doIt;
}

QPixmap Thumbnail(const std::string& png) {
  QPixmap picture;
  if (png.empty() || !picture.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<uint>(png.size()), "PNG")) {
    QPixmap empty(kThumbWidth, kThumbHeight);
    empty.fill(QColor(24, 20, 20));
    return empty;
  }
  return picture.scaled(kThumbWidth, kThumbHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

QString PlayedText(int64_t ms) {
  const int64_t minutes = ms / 60000;
  if (minutes < 1) return SaveLoadWindow::tr("under 1 min");
  if (minutes < 60) return SaveLoadWindow::tr("%1 min").arg(minutes);
  if (minutes % 60 == 0) return SaveLoadWindow::tr("%1 h").arg(minutes / 60);
  return SaveLoadWindow::tr("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

QString SlotText(int slot) {
  if (slot == kQuickSlot) return SaveLoadWindow::tr("the quick slot");
  if (slot == kAutoSlot) return SaveLoadWindow::tr("the automatic slot");
  return SaveLoadWindow::tr("slot %1").arg(slot);
}

QString SaveOutcomeText(const SaveGames::Outcome& outcome, int slot) {
  using Kind = SaveGames::Kind;
  switch (outcome.kind) {
    case Kind::kSaved:
      return SaveLoadWindow::tr("Saved: %1").arg(SlotText(slot));
    case Kind::kLoaded:
      return SaveLoadWindow::tr("Loaded: %1").arg(SlotText(slot));
    case Kind::kBack:
      return SaveLoadWindow::tr("Back before the last choice");
    case Kind::kBusy:
      return SaveLoadWindow::tr("Not now: a script is running");
    case Kind::kEmpty:
      return SaveLoadWindow::tr("Nothing to load: %1 is empty").arg(SlotText(slot));
    case Kind::kNoHistory:
      return SaveLoadWindow::tr("Nothing to go back to");
    case Kind::kFailed:
      break;
  }
  // The detail comes from the files and the system, in their words.
  return SaveLoadWindow::tr("That did not work: %1").arg(QString::fromStdString(outcome.message));
}

SaveLoadWindow::SaveLoadWindow(Game& game, SaveGames& saves, Mode mode, std::function<std::string()> thumbnail,
                               QWidget* parent)
    : QDialog(parent), game_(game), saves_(saves), mode_(mode), thumbnail_(std::move(thumbnail)) {
  setObjectName(mode == Mode::kSave ? QStringLiteral("SaveWindow") : QStringLiteral("LoadWindow"));
  setWindowTitle(mode == Mode::kSave ? tr("Save game") : tr("Load game"));
  setModal(true);

  slotGrid = new QListWidget(this);
  slotGrid->setViewMode(QListView::IconMode);
  slotGrid->setIconSize(QSize(kThumbWidth, kThumbHeight));
  slotGrid->setGridSize(QSize(kThumbWidth + 24, kThumbHeight + 72));
  slotGrid->setResizeMode(QListView::Adjust);
  slotGrid->setMovement(QListView::Static);
  slotGrid->setWordWrap(true);
  slotGrid->setTextElideMode(Qt::ElideMiddle);

  nameField = new QLineEdit(this);
  nameField->setPlaceholderText(tr("Name of the save"));
  actionButton = new QPushButton(mode == Mode::kSave ? tr("Save") : tr("Load"), this);
  deleteButton = new QPushButton(tr("Delete"), this);
  closeButton = new QPushButton(tr("Close"), this);
  actionButton->setDefault(true);

  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(tr("Name:"), this));
  row->addWidget(nameField, 1);
  row->addWidget(actionButton);
  row->addWidget(deleteButton);
  row->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(slotGrid, 1);
  layout->addLayout(row);
  resize(4 * (kThumbWidth + 24) + 48, 2 * (kThumbHeight + 72) + 80);

  slotGrid->setObjectName(QStringLiteral("SlotGrid"));
  slotGrid->setAccessibleName(tr("Saved games"));
  nameField->setObjectName(QStringLiteral("SaveName"));
  nameField->setAccessibleName(tr("Name of the save"));
  connect(slotGrid, &QListWidget::currentRowChanged, this, [this] {
    SlotSelected();
    // Self-voicing says each slot the reader moves to.
    if (const QListWidgetItem* item = slotGrid->currentItem())
      SelfVoicing::SayInWindow(item->text().replace(QLatin1Char('\n'), QStringLiteral(". ")));
  });
  connect(slotGrid, &QListWidget::itemActivated, this, [this] { Act(); });
  connect(actionButton, &QPushButton::clicked, this, [this] { Act(); });
  connect(deleteButton, &QPushButton::clicked, this, [this] { Delete(); });
  // The Delete key on the grid deletes (the name field keeps it for its text).
  auto* deleteKey = new QShortcut(QKeySequence::Delete, slotGrid, nullptr, nullptr, Qt::WidgetShortcut);
  connect(deleteKey, &QShortcut::activated, this, [this] { Delete(); });
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
  // A name typed for a slot that holds a save is kept with it at once.
  connect(nameField, &QLineEdit::editingFinished, this, [this] { Rename(); });
  Refill();
}

void SaveLoadWindow::Refill() {
  // Saving starts at the first numbered slot, loading at the newest save; a refill keeps
  // the place.
  const bool first = slotGrid->count() == 0;
  int keep = first ? (mode_ == Mode::kSave ? 1 : 0) : slotGrid->currentRow();
  int64_t newest = -1;
  slotGrid->clear();
  std::vector<SlotInfo> shown = saves_.ListSlots();
  // The run as the game was last closed can be loaded, never saved into.
  if (SlotInfo automatic = saves_.Slot(kAutoSlot); mode_ == Mode::kLoad && automatic.used)
    shown.insert(shown.begin(), std::move(automatic));
  for (const SlotInfo& slot : shown) {
    const QString number = slot.slot == kQuickSlot  ? tr("Quick")
                           : slot.slot == kAutoSlot ? tr("Last closed")
                                                    : QString::number(slot.slot);
    QString text;
    QPixmap picture = Thumbnail({});
    if (!slot.used) {
      text = number + QStringLiteral(". ") + tr("(empty)");
    } else if (slot.status != SaveReadStatus::kOk) {
      text = number + QStringLiteral(". ") + tr("(cannot be loaded)") + QLatin1Char('\n') +
             QString::fromStdString(DescribeRefusal(slot.status));
    } else {
      const SaveHeader& h = slot.header;
      picture = Thumbnail(h.thumbnailPng);
      const QString name = h.name.empty() ? QString::fromStdString(game_.codec.ToUtf8(h.pageCaption))
                                          : QString::fromStdString(h.name);
      text = number + QStringLiteral(". ") + name + QLatin1Char('\n') +
             QLocale().toString(QDateTime::fromSecsSinceEpoch(h.savedAt), QLocale::ShortFormat) +
             QStringLiteral(", ") + PlayedText(h.playedMs);
      if (first && mode_ == Mode::kLoad && h.savedAt > newest) {
        newest = h.savedAt;
        keep = slotGrid->count();
      }
    }
    auto* item = new QListWidgetItem(QIcon(picture), text, slotGrid);
    item->setData(Qt::UserRole, slot.slot);
    item->setData(Qt::UserRole + 1, slot.used && slot.status == SaveReadStatus::kOk);
    item->setData(Qt::UserRole + 2, QString::fromStdString(slot.header.name));
    item->setData(Qt::UserRole + 3, slot.used);
    item->setToolTip(text);
    item->setData(Qt::AccessibleTextRole, QString(text).replace(QLatin1Char('\n'), QStringLiteral(", ")));
  }
  slotGrid->setCurrentRow(std::clamp(keep, 0, slotGrid->count() - 1));
  SlotSelected();
}

int SaveLoadWindow::SelectedSlot() const {
  const QListWidgetItem* item = slotGrid->currentItem();
  return item ? item->data(Qt::UserRole).toInt() : -1;
}

void SaveLoadWindow::SlotSelected() {
  const QListWidgetItem* item = slotGrid->currentItem();
  const bool loadable = item && item->data(Qt::UserRole + 1).toBool();
  nameField->setText(item ? item->data(Qt::UserRole + 2).toString() : QString());
  actionButton->setEnabled(item && (mode_ == Mode::kSave || loadable));
  deleteButton->setEnabled(item && item->data(Qt::UserRole + 3).toBool());
}

void SaveLoadWindow::Act() {
  const int slot = SelectedSlot();
  if (slot < 0) return;
  SaveGames::Outcome outcome;
  if (mode_ == Mode::kSave) {
    if (slotGrid->currentItem()->data(Qt::UserRole + 3).toBool() &&
        !Confirm(this, "OverwriteQuestion", tr("Save over %1? The save there is lost.").arg(SlotName()), tr("Overwrite")))
      return;
    outcome = saves_.Save(slot, thumbnail_ ? thumbnail_() : std::string(), nameField->text().toStdString());
  } else {
    outcome = saves_.Load(slot);
  }
  lastMessage_ = outcome.message;
  lastOutcomeText_ = SaveOutcomeText(outcome, slot);
  if (!outcome.done) {
    ShowNotice(*this, lastOutcomeText_);
    Refill();
    return;
  }
  accept();
}

void SaveLoadWindow::Rename() {
  const QListWidgetItem* item = slotGrid->currentItem();
  if (!item || !item->data(Qt::UserRole + 1).toBool()) return;
  if (item->data(Qt::UserRole + 2).toString() == nameField->text()) return;
  saves_.Rename(item->data(Qt::UserRole).toInt(), nameField->text().toStdString());
  Refill();
}

QString SaveLoadWindow::SlotName() const {
  const QListWidgetItem* item = slotGrid->currentItem();
  const QString name = item ? item->data(Qt::UserRole + 2).toString() : QString();
  const QString slot = SlotText(SelectedSlot());
  return name.isEmpty() ? slot : tr("%1 (\"%2\")").arg(slot, name);
}

void SaveLoadWindow::Delete() {
  const int slot = SelectedSlot();
  if (slot < 0 || !slotGrid->currentItem()->data(Qt::UserRole + 3).toBool()) return;
  if (!Confirm(this, "DeleteQuestion", tr("Delete %1? This cannot be undone.").arg(SlotName()), tr("Delete")))
    return;
  saves_.Delete(slot);
  Refill();
  ShowNotice(*this, tr("Deleted: %1").arg(SlotText(slot)));
}

}  // namespace velmora
