#include "ui_fixture.h"

#include <QTemporaryFile>
#include <algorithm>
#include <cstdlib>
#include <map>

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

std::string CutText(const QImage& shot, const QRect& area, int inkHeight, bool sides, int contrast) {
  const QRect inside = area.intersected(shot.rect());
  if (inside.height() < 2 || inside.width() < 2) return "outside the picture";
  int top = -1, bottom = -1, left = shot.width(), right = -1;
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    std::map<QRgb, int> colours;
    for (int x = inside.left(); x <= inside.right(); ++x) ++colours[shot.pixel(x, y) & 0xffffff];
    const QRgb ground =
        std::max_element(colours.begin(), colours.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    for (int x = inside.left(); x <= inside.right(); ++x) {
      const QRgb p = shot.pixel(x, y);
      if (std::max({std::abs(qRed(p) - qRed(ground)), std::abs(qGreen(p) - qGreen(ground)),
                    std::abs(qBlue(p) - qBlue(ground))}) <= contrast)
        continue;
      if (top < 0) top = y;
      bottom = y;
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  if (top < 0) return "no text drawn";
  std::string cut;
  if (top == inside.top()) cut += "ink on the top edge; ";
  if (bottom == inside.bottom()) cut += "ink on the bottom edge; ";
  if (sides && left == inside.left()) cut += "ink on the left edge; ";
  if (sides && right == inside.right()) cut += "ink on the right edge; ";
  // A faint anti-aliased tip may fall under a contrast: a pixel more is allowed then.
  if (bottom - top + 1 < inkHeight - 1 - (contrast > 0 ? 1 : 0))
    cut += "ink " + std::to_string(bottom - top + 1) + " pixels tall, not " + std::to_string(inkHeight) + "; ";
  if (!cut.empty())
    cut += "ink " + std::to_string(left) + "," + std::to_string(top) + " to " + std::to_string(right) + "," +
           std::to_string(bottom) + " in " + std::to_string(inside.left()) + "," + std::to_string(inside.top()) +
           " to " + std::to_string(inside.right()) + "," + std::to_string(inside.bottom());
  return cut;
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
