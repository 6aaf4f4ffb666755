// The windows as the X server draws them, under Xvfb with a window manager (CTest runs
// this as ui.screen-rows.SCREEN on each screen size; elsewhere it is skipped): at 50 %,
// 100 % and 200 % zoom, in full screen on 1920 by 1080 and fitted to 1024 by 600. Each
// screenshot is kept under the build folder (tests/ui/artifacts), and in each every text
// row and control is found whole: no glyph's ink touches its edge.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <filesystem>
#include <string>
#include <vector>

#include "base/game.h"
#include "base/main_window_state.h"
#include "inventory/inventory_window_state.h"
#include "story/choice_menu.h"
#include "story/page_loader.h"
#include "ui/choice_list.h"
#include "ui/fonts.h"
#include "ui/inventory_window.h"
#include "ui/title_bar.h"
#include "ui/window_scale.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

struct ScreenCase {
  const char* name;
  QSize screen;
  double zoom;
  bool fullScreen;
};
const ScreenCase kCases[] = {
    {"zoom-50", {2560, 1600}, 0.5, false}, {"zoom-100", {2560, 1600}, 1.0, false},
    {"zoom-200", {2560, 1600}, 2.0, false}, {"full-screen", {1920, 1080}, 1.0, true},
    {"fitted", {1024, 600}, 1.0, false}};

// A text in a widget and which of its area's edges no ink may touch: a row's top and
// bottom (its end may be elided), a control's every side, none for a label (whose box is
// its text's own size: a cut would show as ink less tall than the text's).
struct Text {
  enum class Edges { kRow, kControl, kLabel };
  std::string what;
  QRect onScreen;
  int inkHeight;
  Edges edges = Edges::kRow;
};

Text RowOf(const std::string& what, QWidget* widget, const QRect& rect, const QString& text) {
  const QRect shown = rect.intersected(widget->rect());  // a row may reach past its view
  return {what, QRect(widget->mapToGlobal(shown.topLeft()), shown.size()),
          QFontMetrics(widget->font()).tightBoundingRect(text).height()};
}

// A control's text: inside its border (one unit; ink next to it touches it), and for a
// push button inside the frames the skin draws within (default, focus): its contents.
Text ControlOf(const std::string& what, QAbstractButton* button, double scale) {
  const int edge = std::max(1, Scaled(1, scale));
  QRect area = button->rect().adjusted(edge, edge, -edge, -edge);
  if (qobject_cast<QPushButton*>(button)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    area = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
  }
  Text t = RowOf(what, button, area, button->text());
  t.edges = Text::Edges::kControl;
  return t;
}

class ScreenRowsTest : public testing::MainWindowTest {};

TEST_F(ScreenRowsTest, EveryTextRowIsWholeOnTheScreen) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "runs on an X server";
  const QSize screen = QGuiApplication::primaryScreen()->size();
  std::vector<const ScreenCase*> cases;
  for (const ScreenCase& c : kCases)
    if (c.screen == screen) cases.push_back(&c);
  if (cases.empty()) GTEST_SKIP() << "no case for a screen of " << screen.width() << "x" << screen.height();

  tg.dir.Write("Images/default.jpg", "");
  tg.dir.Write("Scripts/inventory.inv",
               "[Inventory]\nTotalItems=2\n"
               "[Item0]\nName=rope\nDisplayName=\xC2\xE5\xF0\xE5\xE2\xEA\xE0 \xE4\xEB\xFF \xF3\xE4\xEE\xF7\xEA\xE8\n"
               "Count=1\nEnabled=1\n[Item1]\nName=key\nDisplayName=Jagged key\nCount=1\nEnabled=1\n");
  // Tails below the line (у, р, д, g, j, y) and capitals with marks above it (Й).
  Game& game = Make(
      "[hall]\ntextsize=1\nLine0=Hall.\nActionsCount=3\n"
      "Action0.Script=a\nAction0.LinesCount=1\nAction0.Line0=Jagged quay, \xE4\xEE\xF0\xEE\xE3\xE0 \xE2\xED\xE8\xE7\n"
      "Action1.Script=b\nAction1.LinesCount=1\nAction1.Line0=\xC9\xEE\xE3\xE0 \xF3\xE4\xE0\xF0 \xF0\xF3\xEA\xE8 gypsy\n"
      "Action2.Script=c\nAction2.LinesCount=1\nAction2.Line0=py\n");
  MainWindowState& form = *game.mainWindow;
  form.caption = "Rows \xC9\xF3\xF0\xF2 gjy";
  form.left = form.top = 0;
  form.width = 980;
  form.height = 720;
  form.Changed(MainWindowState::kCaption | MainWindowState::kGeometry);
  LoadPage(game, "hall");
  InventoryWindow inventory(game, window.get());
  QObject::connect(window.get(), &MainWindow::scaleChanged, &inventory, &InventoryWindow::SetScale);
  Show();
  const std::filesystem::path artifacts = UI_ARTIFACTS;
  std::filesystem::create_directories(artifacts);

  for (const ScreenCase* c : cases) {
    window->SetZoom(c->zoom);
    window->SetFullScreen(c->fullScreen);
    inventory.SetScale(window->scale());
    QTest::qWait(400);  // the window manager places, the server draws

    // The main window alone, then the inventory over it.
    std::vector<Text> main;
    TitleBar* bar = window->titleBar;
    main.push_back(RowOf("caption", bar->caption, bar->caption->rect(), bar->caption->text()));
    main.push_back(ControlOf("Audio...", bar->audioItem, window->scale()));
    main.push_back(ControlOf("Инвентарь", bar->inventoryItem, window->scale()));
    ChoiceList* list = window->choiceList;
    for (int k = 0; k < list->count(); ++k) {
      const ChoiceFont font = ChoiceDrawingFont(game);
      Text row = RowOf("choice " + std::to_string(k + 1), list->viewport(), list->visualItemRect(list->item(k)),
                       list->item(k)->text());
      row.inkHeight = QFontMetrics(GameFont(QString::fromStdString(font.name), font.size, window->scale()))
                          .tightBoundingRect(list->item(k)->text())
                          .height();
      main.push_back(row);
    }
    game.inventoryWindow->Close(game);
    QTest::qWait(200);
    const QImage mainShot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    mainShot.save(QString::fromStdString((artifacts / (std::string("screen-") + c->name + ".png")).string()));

    game.inventoryWindow->Open(game);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&inventory)) << c->name;
    inventory.raise();
    QTest::qWait(400);
    std::vector<Text> tools;
    for (int k = 0; k < inventory.itemList->count(); ++k)
      tools.push_back(RowOf("item " + std::to_string(k + 1), inventory.itemList->viewport(),
                            inventory.itemList->visualItemRect(inventory.itemList->item(k)),
                            inventory.itemList->item(k)->text()));
    for (QLabel* label : {inventory.itemCaption, inventory.countCaption, inventory.descriptionCaption}) {
      tools.push_back(RowOf(label->text().toStdString(), label, label->rect(), label->text()));
      tools.back().edges = Text::Edges::kLabel;
    }
    for (QPushButton* button : {inventory.useButton, inventory.wearButton, inventory.closeButton})
      tools.push_back(ControlOf(button->text().toStdString(), button, window->scale()));
    inventory.itemList->setFocus();  // no button's focus frame in the way
    QTest::qWait(100);
    const QImage toolShot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    toolShot.save(QString::fromStdString((artifacts / (std::string("screen-") + c->name + "-inventory.png")).string()));

    for (const auto& [shot, texts] : {std::pair{&mainShot, &main}, std::pair{&toolShot, &tools}})
      for (const Text& t : *texts) {
        EXPECT_TRUE(shot->rect().contains(t.onScreen)) << c->name << ": " << t.what << " is off the screen";
        std::string cut = testing::CutText(*shot, t.onScreen, t.inkHeight, t.edges == Text::Edges::kControl);
        if (t.edges == Text::Edges::kLabel && cut.find(" tall") == std::string::npos) cut.clear();
        EXPECT_EQ(cut, "") << c->name << ": " << t.what;
      }
    window->SetFullScreen(false);
  }
}

}  // namespace
}  // namespace velmora
