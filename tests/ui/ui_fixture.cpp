#include "ui_fixture.h"

#include <QTemporaryFile>

#include "ui/fonts.h"
#include "ui/skin.h"

namespace velmora::testing {

QApplication& TestApplication() {
  auto* app = qobject_cast<QApplication*>(QApplication::instance());
  if (!app) {
    // The offscreen platform's own screen (800 by 600) is smaller than the windows, which
    // would draw them scaled down: the tests get one the designed sizes fit on.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
      static QTemporaryFile screens;
      if (screens.open()) {
        screens.write(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": 1920, "height": 1200,)"
                      R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toUtf8());
      }
    }
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
  }
  // Whichever suite made the application, the windows are tested in their skin.
  if (app->styleSheet().isEmpty()) {
    InstallFontSubstitutions();
    ApplySkin(*app);
  }
  return *app;
}

Game& MainWindowTest::Make(const std::string& story, const std::string& config) {
  tg.dir.Write("config.ini", config);
  tg.dir.Write("story.qst", story);
  tg.dir.Write("music.lst", "");
  Game& game = tg.Make();
  window = std::make_unique<MainWindow>(game);
  return game;
}

void MainWindowTest::Show() {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

}  // namespace velmora::testing
