#include "ui/library_window.h"

#include <QApplication>
#include <QCollator>
#include <QDateTime>
#include <QDialog>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSocketNotifier>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <vector>

#include "base/fault.h"
#include "base/stop_signals.h"
#include "library/game_library.h"
#include "ui/fonts.h"
#include "ui/notice.h"
#include "ui/skin.h"
#include "ui/translation.h"

namespace velmora {

namespace {

constexpr int kThumbnailWidth = 128, kThumbnailHeight = 72;

QIcon Thumbnail(const std::string& file) {
  QPixmap canvas(kThumbnailWidth, kThumbnailHeight);
  canvas.fill(Qt::black);
  if (!file.empty()) {
    QImageReader reader(QString::fromStdString(file));
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (!image.isNull()) canvas = QPixmap::fromImage(image.scaled(kThumbnailWidth, kThumbnailHeight,
                                                                  Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  }
  return QIcon(canvas);
}

QString LastPlayed(const LibraryEntry& game) {
  if (!game.present) return LibraryWindow::tr("The folder is gone");
  if (game.lastPlayed <= 0) return LibraryWindow::tr("Not played yet");
  return LibraryWindow::tr("Last played %1").arg(QLocale().toString(QDateTime::fromSecsSinceEpoch(game.lastPlayed), QLocale::ShortFormat));
}

// The game played last comes first; games never played follow, by name as the user's
// language sorts it (letter case aside, "Game 2" before "Game 10").
void SortByLastPlayed(std::vector<LibraryEntry>& games) {
  QCollator byName;
  byName.setCaseSensitivity(Qt::CaseInsensitive);
  byName.setNumericMode(true);
  std::stable_sort(games.begin(), games.end(), [&byName](const LibraryEntry& a, const LibraryEntry& b) {
    const int64_t playedA = std::max<int64_t>(a.lastPlayed, 0), playedB = std::max<int64_t>(b.lastPlayed, 0);
    if (playedA != playedB) return playedA > playedB;
    return byName.compare(QString::fromStdString(a.captionUtf8), QString::fromStdString(b.captionUtf8)) < 0;
  });
}

}  // namespace

LibraryWindow::LibraryWindow(GameLibrary& library, GameFiles& files, QWidget* parent)
    : QWidget(parent), library_(library), files_(files) {
  setObjectName(QStringLiteral("LibraryWindow"));
  setWindowTitle(tr("Velmora Player: game library"));
  setAcceptDrops(true);
  setFont(GameFont(QStringLiteral("MS Sans Serif"), -13));
  resize(640, 480);

  gameList = new QListWidget(this);
  gameList->setObjectName(QStringLiteral("GameList"));
  gameList->setAccessibleName(tr("Games"));
  gameList->setIconSize(QSize(kThumbnailWidth, kThumbnailHeight));
  gameList->setSelectionMode(QAbstractItemView::SingleSelection);
  gameList->setSpacing(2);

  const auto button = [this](const QString& text) {
    auto* b = new QPushButton(text, this);
    b->setAccessibleName(b->text().remove(QLatin1Char('&')));
    return b;
  };
  addButton = button(tr("&Add game..."));
  scanButton = button(tr("&Scan folder..."));
  removeButton = button(tr("&Remove"));
  playButton = button(tr("&Play"));
  playButton->setDefault(true);
  continueButton = button(tr("&Continue"));
  continueButton->setToolTip(tr("Go on from where the game was last closed"));

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {addButton, scanButton, removeButton}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(continueButton);
  buttons->addWidget(playButton);
  auto* hint = new QLabel(tr("Drop game folders here to add them."), this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(gameList);
  layout->addWidget(hint);
  layout->addLayout(buttons);

  // Tab goes along the row as it is shown: "Continue" stands before "Play".
  setTabOrder(removeButton, continueButton);
  setTabOrder(continueButton, playButton);

  connect(addButton, &QPushButton::clicked, this, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Add a game folder"));
    if (!folder.isEmpty()) AddFolder(folder);
  });
  connect(scanButton, &QPushButton::clicked, this, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Scan a folder for games"));
    if (!folder.isEmpty()) ScanFolder(folder);
  });
  connect(removeButton, &QPushButton::clicked, this, &LibraryWindow::RemoveSelected);
  connect(playButton, &QPushButton::clicked, this, &LibraryWindow::PlaySelected);
  connect(continueButton, &QPushButton::clicked, this, &LibraryWindow::ContinueSelected);
  connect(gameList, &QListWidget::itemActivated, this, &LibraryWindow::PlaySelected);
  connect(gameList, &QListWidget::itemSelectionChanged, this, [this] {
    const bool any = !gameList->selectedItems().isEmpty();
    removeButton->setEnabled(any);
    playButton->setEnabled(any);
    const QListWidgetItem* item = gameList->currentItem();
    continueButton->setEnabled(any && item && item->data(Qt::UserRole + 1).toBool());
  });
  Reload();
}

void LibraryWindow::Reload() {
  const QString selected = gameList->currentItem() ? gameList->currentItem()->data(Qt::UserRole).toString() : QString();
  gameList->clear();
  std::vector<LibraryEntry> games;
  try {
    games = library_.Games();
  } catch (const RuntimeFault& fault) {
    Report(QString::fromStdString(fault.what()));
  }
  SortByLastPlayed(games);
  for (const LibraryEntry& game : games) {
    QString text = QString::fromStdString(game.captionUtf8) + QLatin1Char('\n') + LastPlayed(game);
    QString tip = QString::fromStdString(game.folder);
    // Why the last start failed, in the row itself (which a screen reader reads whole).
    if (!game.startFailure.empty()) {
      const QString failure = tr("Did not start: %1").arg(QString::fromStdString(game.startFailure));
      text += QLatin1Char('\n') + failure;
      tip += QLatin1Char('\n') + failure;
    }
    auto* item = new QListWidgetItem(Thumbnail(game.thumbnail), text, gameList);
    item->setData(Qt::UserRole, QString::fromStdString(game.folder));
    item->setData(Qt::UserRole + 1, !game.autoSave.empty());
    item->setToolTip(tip);
    if (!game.present) item->setFlags(item->flags() & ~Qt::ItemIsEnabled & ~Qt::ItemIsSelectable);
    if (item->data(Qt::UserRole).toString() == selected) gameList->setCurrentItem(item);
  }
  if (!gameList->currentItem() && gameList->count() > 0 && (gameList->item(0)->flags() & Qt::ItemIsEnabled))
    gameList->setCurrentRow(0);
  emit gameList->itemSelectionChanged();
}

void LibraryWindow::Report(const QString& text) { ShowNotice(*this, text); }

void LibraryWindow::AddFolder(const QString& folder) {
  try {
    std::string problem;
    if (library_.Add(folder.toStdString(), &problem) == GameLibrary::AddResult::kNotAGame)
      Report(tr("%1 holds no game: %2").arg(folder, QString::fromStdString(problem)));
  } catch (const RuntimeFault& fault) {
    Report(QString::fromStdString(fault.what()));
  }
  Reload();
}

void LibraryWindow::ScanFolder(const QString& folder) {
  try {
    if (library_.Scan(folder.toStdString()).empty()) Report(tr("No new games in %1").arg(folder));
  } catch (const RuntimeFault& fault) {
    Report(QString::fromStdString(fault.what()));
  }
  Reload();
}

void LibraryWindow::RemoveSelected() {
  QListWidgetItem* item = gameList->currentItem();
  if (!item) return;
  try {
    library_.Remove(item->data(Qt::UserRole).toString().toStdString());
  } catch (const RuntimeFault& fault) {
    Report(QString::fromStdString(fault.what()));
  }
  Reload();
}

void LibraryWindow::PlaySelected() {
  QListWidgetItem* item = gameList->currentItem();
  if (item && item->isSelected() && (item->flags() & Qt::ItemIsEnabled))
    emit playRequested(item->data(Qt::UserRole).toString());
}

void LibraryWindow::ContinueSelected() {
  QListWidgetItem* item = gameList->currentItem();
  if (item && item->isSelected() && (item->flags() & Qt::ItemIsEnabled) && item->data(Qt::UserRole + 1).toBool())
    emit continueRequested(item->data(Qt::UserRole).toString());
}

void LibraryWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) {
    RemoveSelected();
    return;
  }
  QWidget::keyPressEvent(event);
}

void LibraryWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void LibraryWindow::dropEvent(QDropEvent* event) {
  // A game folder is added; a folder of game folders is scanned.
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    const QString folder = url.toLocalFile();
    if (InspectGameFolder(files_, folder.toStdString()).isGame)
      AddFolder(folder);
    else
      ScanFolder(folder);
  }
  event->acceptProposedAction();
}

int RunLibrary(int& argc, char** argv, GameLibrary& library, GameFiles& files, PlayFromLibrary play, void* context) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("velmora-player"));
  QApplication::setDesktopFileName(QStringLiteral("velmora-player"));
  InstallPlayerLanguage(files);
  InstallFontSubstitutions();
  ApplySkin(app);
  LibraryWindow window(library, files);
  QString chosen;
  bool resume = false;
  const auto choose = [&](const QString& folder, bool fromAutoSave) {
    chosen = folder;
    resume = fromAutoSave;
    window.hide();
    app.quit();
  };
  QObject::connect(&window, &LibraryWindow::playRequested, &app, [&](const QString& folder) { choose(folder, false); });
  QObject::connect(&window, &LibraryWindow::continueRequested, &app, [&](const QString& folder) { choose(folder, true); });
  QApplication::setQuitOnLastWindowClosed(true);
  // A stop signal (logout, kill, Ctrl+C) ends the library as its close box does, also from
  // inside a box or a file dialog: each open dialog is turned down (a native one ends its
  // own loop so), and quitting ends every event loop. While a game plays, the game's
  // windows answer the signal instead.
  std::unique_ptr<QSocketNotifier> stopNotifier;
  if (StopSignals::WakeFd() >= 0) {
    stopNotifier = std::make_unique<QSocketNotifier>(StopSignals::WakeFd(), QSocketNotifier::Read);
    QObject::connect(stopNotifier.get(), &QSocketNotifier::activated, &app, [&stopNotifier] {
      stopNotifier->setEnabled(false);
      for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(top); dialog && dialog->isVisible()) dialog->reject();
      QCoreApplication::quit();
    });
  }
  for (;;) {
    chosen.clear();
    if (StopSignals::Requested()) return 0;
    window.show();
    window.activateWindow();
    app.exec();
    if (chosen.isEmpty() || StopSignals::Requested()) return 0;
    if (stopNotifier) stopNotifier->setEnabled(false);
    play(chosen.toStdString(), resume, context);  // the game's windows run their own loop
    if (stopNotifier) stopNotifier->setEnabled(true);
    window.Reload();                      // the game was played: its last play changed
    QApplication::setQuitOnLastWindowClosed(true);
  }
}

}  // namespace velmora
