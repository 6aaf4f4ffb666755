#include "ui/windows_program.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <memory>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTextEdit>
#include <QTimer>
#include <QTranslator>
#include <iostream>
#include <utility>

#include "base/stop_signals.h"
#include "library/player_settings.h"
#include "run/chain_question.h"
#include "run/startup.h"
#include "ui/audio_window.h"
#include "ui/choice_list.h"
#include "ui/dialog_language.h"
#include "ui/countdown.h"
#include "ui/fonts.h"
#include "ui/history_window.h"
#include "ui/inventory_window.h"
#include "ui/live_reload_driver.h"
#include "ui/map_window.h"
#include "ui/main_window.h"
#include "ui/notice.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_speech.h"
#include "ui/save_actions.h"
#include "ui/save_load_window.h"
#include "ui/self_voicing.h"
#include "ui/settings_window.h"
#include "ui/skin.h"
#include "ui/timer_driver.h"
#include "ui/translation.h"

namespace velmora {

namespace {

// Calls `then` once, right after the watched widget's first paint has been handled.
class FirstPaintWatcher : public QObject {
 public:
  FirstPaintWatcher(QWidget& widget, std::function<void()> then) : then_(std::move(then)) {
    widget.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, std::exchange(then_, nullptr));
    }
    return false;
  }

 private:
  std::function<void()> then_;
};

}  // namespace

int PlayInWindows(int& argc, char** argv, Platform platform, const GameOptions& options,
                  std::function<void()> firstPageShown, std::function<bool()> playsSilently, WindowsPlay* play) {
  // From the library, the game plays inside the library's application.
  std::unique_ptr<QApplication> own;
  if (!QApplication::instance()) own = std::make_unique<QApplication>(argc, argv);
  auto& app = *qobject_cast<QApplication*>(QApplication::instance());
  QApplication::setApplicationName(QStringLiteral("velmora-player"));
  QApplication::setDesktopFileName(QStringLiteral("velmora-player"));
  // The other two windows do not keep the program alive: closing the main window ends it.
  QApplication::setQuitOnLastWindowClosed(false);
  InstallPlayerLanguage(*platform.files);
  InstallFontSubstitutions();
  const PlayerSettingsFile settingsFile(*platform.files);
  if (const std::string problem = settingsFile.Problem(); !problem.empty()) std::cerr << "velmora-player: " << problem << '\n';
  const PlayerSettings settings = settingsFile.Load();
  SelectHighContrastSkin(settings.highContrast);
  ApplySkin(app);

  QtDialogs dialogs;
  platform.dialogs = &dialogs;
  Game game(platform, options);
  dialogs.SetCodec(&game.codec);
  QtTimerDriver timers(game.timers);
  // The player's time to read stretches the page timers' waits (before the start page
  // switches them on).
  game.pageActionTimer.SetStretch(settings.timeToRead);
  game.answerTimer.SetStretch(settings.timeToRead);

  MainWindow mainWindow(game);
  dialogs.SetOwner(&mainWindow);
  QObject::connect(&mainWindow, &MainWindow::closed, &app, [&dialogs] {
    dialogs.EndInput();
    QCoreApplication::quit();
  });
  // Going to the library ends the game (with its shutdown); played from the library, its
  // window comes back, otherwise the caller opens it.
  bool libraryWanted = false;
  mainWindow.libraryAction->setVisible(true);
  QObject::connect(&mainWindow, &MainWindow::libraryRequested, &mainWindow, [&mainWindow, &libraryWanted] {
    libraryWanted = true;
    mainWindow.close();
  });
  // Scripts and page actions close the window once their event has returned.
  game.onCloseRequested = [&mainWindow] { QMetaObject::invokeMethod(&mainWindow, &QWidget::close, Qt::QueuedConnection); };
  // What start-up publishes to plug-ins: the window, choice list, story text and picture.
  game.windowObjects = {static_cast<QWidget*>(&mainWindow), static_cast<QWidget*>(mainWindow.choiceList),
                        static_cast<QWidget*>(mainWindow.storyText), static_cast<QWidget*>(mainWindow.storyPicture)};

  AskAboutLongChains(game);
  const StartupResult started = StartGame(game);
  if (play) play->startFailure = game.startFailure;
  switch (started) {
    case StartupResult::kAudioFailed:
      return 1;
    case StartupResult::kStopped: {
      // A desktop user never sees the log: say where it is.
      ApplyProgramIcon();
      QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kApplicationTitle),
                      QCoreApplication::translate("velmora::MainWindow", "The game could not start: %1 says why.")
                          .arg(QDir::current().absoluteFilePath(QStringLiteral("LastStart.log"))),
                      QMessageBox::Ok);
      box.setObjectName(QStringLiteral("StartStopped"));
      box.setTextFormat(Qt::PlainText);
      if (!StopSignals::Requested()) box.exec();
      return 1;
    }
    case StartupResult::kCompleted:
      break;
  }
  QTranslator* buttonTranslation = TranslateStandardButtons(app, DialogLocale(game));
  CreateToolWindows(game);
  SaveActions saveActions(game, mainWindow);
  // The title bar's menu offers the saves after the window's own commands.
  auto* savesSeparator = new QAction(&mainWindow);
  savesSeparator->setSeparator(true);
  mainWindow.titleMenuActions << savesSeparator << saveActions.quickSave << saveActions.quickLoad << saveActions.save
                              << saveActions.load << saveActions.back;
  QtSpeech qtSpeech;
  SelfVoicing selfVoicing(game, mainWindow, platform.speech ? *platform.speech : qtSpeech,
                          PlayerSettingsFile(game.files()));
  auto* readingSeparator = new QAction(&mainWindow);
  readingSeparator->setSeparator(true);
  Countdown countdown(game, mainWindow.storyPicture);
  const auto applySettings = [&](const PlayerSettings& chosen) {
    game.pageActionTimer.SetStretch(chosen.timeToRead);
    game.answerTimer.SetStretch(chosen.timeToRead);
    countdown.SetEnabled(chosen.countdown);
    mainWindow.SetTextSize(chosen.textSize);
    selfVoicing.Apply(chosen);
    if (chosen.selfVoicing != selfVoicing.toggle->isChecked()) selfVoicing.SetEnabled(chosen.selfVoicing);
  };
  countdown.SetEnabled(settings.countdown);
  mainWindow.SetTextSize(settings.textSize);
  mainWindow.titleMenuActions << readingSeparator << selfVoicing.toggle << selfVoicing.repeat
                              << HistoryWindow::AddCommand(game, &mainWindow)
                              << SettingsWindow::AddCommand(&mainWindow, PlayerSettingsFile(game.files()), applySettings);
  // Children of the main window: they stay above it, and go before it.
  AudioWindow audioWindow(game, &mainWindow);
  InventoryWindow inventoryWindow(game, &mainWindow);
  audioWindow.SetScale(mainWindow.scale());
  inventoryWindow.SetScale(mainWindow.scale());
  QObject::connect(&mainWindow, &MainWindow::scaleChanged, &audioWindow, &AudioWindow::SetScale);
  QObject::connect(&mainWindow, &MainWindow::scaleChanged, &inventoryWindow, &InventoryWindow::SetScale);
  std::unique_ptr<LiveReloadDriver> liveReload;
  if (options.watchFolder) liveReload = LiveReloadDriver::Start(game, options.watchFolder(game.gameFolder()), &mainWindow);
  // Author mode's map of the story, from the title bar's menu.
  QPointer<MapWindow> mapWindow;
  if (options.watchFolder) {
    auto* mapAction = new QAction(QObject::tr("Story map"), &mainWindow);
    mapAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    mainWindow.addAction(mapAction);
    mainWindow.titleMenuActions << mapAction;
    QObject::connect(mapAction, &QAction::triggered, &mainWindow, [&game, &mainWindow, &mapWindow] {
      if (!mapWindow) mapWindow = new MapWindow(game, &mainWindow);
      std::string error;
      if (!mapWindow->Rebuild(error)) game.dialogs().ShowError(error);
      mapWindow->show();
      mapWindow->raise();
    });
  }

  // A stop signal (logout, kill, Ctrl+C) closes the window as its close box does; closing
  // ends every event loop, a box's own included, and the shutdown below runs.
  std::unique_ptr<QSocketNotifier> stopNotifier;
  if (StopSignals::WakeFd() >= 0) {
    stopNotifier = std::make_unique<QSocketNotifier>(StopSignals::WakeFd(), QSocketNotifier::Read);
    QObject::connect(stopNotifier.get(), &QSocketNotifier::activated, &mainWindow, [&stopNotifier, &mainWindow] {
      stopNotifier->setEnabled(false);
      mainWindow.close();
    });
  }
  if (!game.CloseRequested() && !StopSignals::Requested()) {
    // What the first page says over itself, at once.
    QStringList notices;
    if (playsSilently && playsSilently())
      notices << QCoreApplication::translate("velmora::MainWindow", "No sound output: playing without sound");
    if (play && !play->copyMadeIn.empty())
      notices << QCoreApplication::translate("velmora::MainWindow", "Playing your own copy of the game, made now in %1")
                     .arg(QString::fromStdString(play->copyMadeIn));
    if (play && play->resume) {
      const SaveGames::Outcome resumed = saveActions.saves().Load(kAutoSlot);
      notices << (resumed.done ? QCoreApplication::translate("velmora::MainWindow", "Going on from where the game was closed")
                               : SaveOutcomeText(resumed, kAutoSlot));
    }
    FirstPaintWatcher firstPaint(mainWindow, [&firstPageShown, &mainWindow, notices] {
      ApplyProgramIcon();
      if (!notices.isEmpty()) ShowNotice(mainWindow, notices.join(QLatin1Char('\n')));
      if (firstPageShown) firstPageShown();
    });
    mainWindow.show();
    app.exec();
    // The run as it was closed, for "Continue" (the close came between events, so the
    // state is whole; a failure to write costs only that).
    const SaveGames::Outcome kept = saveActions.saves().Save(kAutoSlot, saveActions.Thumbnail());
    if (kept.done && play) play->autoSave = saveActions.saves().SlotPath(kAutoSlot);
  }
  ShutDownGame(game);
  if (buttonTranslation) {  // the library's application outlives the game
    QCoreApplication::removeTranslator(buttonTranslation);
    delete buttonTranslation;
  }
  game.onCloseRequested = nullptr;
  // From the library its window comes back by itself; the caller opens it otherwise.
  return libraryWanted ? kOpenLibraryStatus : 0;
}

}  // namespace velmora
