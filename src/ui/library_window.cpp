#include "ui/library_window.h"

#include <QApplication>
#include <QDateTime>
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
#include <QVBoxLayout>

#include "base/fault.h"
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
  if (game.lastPlayed == 0) return LibraryWindow::tr("Not played yet");
  return LibraryWindow::tr("Last played %1").arg(QLocale().toString(QDateTime::fromSecsSinceEpoch(game.lastPlayed), QLocale::ShortFormat));
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
  for (const LibraryEntry& game : games) {
    auto* item = new QListWidgetItem(Thumbnail(game.thumbnail),
                                     QString::fromStdString(game.captionUtf8) + QLatin1Char('\n') + LastPlayed(game),
                                     gameList);
    item->setData(Qt::UserRole, QString::fromStdString(game.folder));
    item->setData(Qt::UserRole + 1, !game.autoSave.empty());
    item->setToolTip(QString::fromStdString(game.folder));
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
  for (;;) {
    chosen.clear();
    window.show();
    window.activateWindow();
    app.exec();
    if (chosen.isEmpty()) return 0;
    play(chosen.toStdString(), resume, context);  // the game's windows run their own loop
    window.Reload();                      // the game was played: its last play changed
    QApplication::setQuitOnLastWindowClosed(true);
  }
}

}  // namespace velmora
