// The main window on Qt's offscreen platform: its layout, the owner-drawn choice list,
// choosing by double-click and by Enter, and the title bar's items.
#include <gtest/gtest.h>

#include <set>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolButton>
#include <QTranslator>

#include "audio/audio_window_state.h"
#include "inventory/inventory_window_state.h"
#include "base/game.h"
#include "base/main_window_state.h"
#include "script/script_library.h"
#include "story/choice_menu.h"
#include "story/page_loader.h"
#include "story/page_state.h"
#include "ui/audio_window.h"
#include "ui/choice_list.h"
#include "ui/fonts.h"
#include "ui/inventory_window.h"
#include "ui/title_bar.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

using testing::LogMessages;
using testing::MainWindowTest;

// Applies window settings as start-up does from config.ini.
void Configure(Game& game, int left, int top, int height, int width) {
  MainWindowState& form = *game.mainWindow;
  form.caption = "Owl Spit";
  form.left = left;
  form.top = top;
  form.height = height;
  form.width = width;
  form.Changed(MainWindowState::kCaption | MainWindowState::kGeometry);
}

TEST_F(MainWindowTest, KeepsTheDesignedClientAreaUntilConfigApplies) {
  Make("[a]\n");
  // Below a 30-pixel title bar, inside a one-pixel frame: 934 by 690.
  EXPECT_EQ(window->size(), QSize(936, 722));
  EXPECT_EQ(window->storyPicture->geometry(), QRect(1, 31, 934, 337));
  EXPECT_EQ(window->storyText->geometry(), QRect(1, 368, 934, 208));
  EXPECT_EQ(window->choiceList->geometry(), QRect(1, 576, 934, 145));
}

TEST_F(MainWindowTest, TakesCaptionPositionAndOuterSizeFromTheConfiguration) {
  Game& game = Make("[a]\n");
  Configure(game, 240, 100, 700, 980);
  Show();
  EXPECT_EQ(window->windowTitle(), "Owl Spit");
  EXPECT_EQ(window->titleBar->caption->text(), "Owl Spit");
  EXPECT_EQ(window->pos(), QPoint(240, 100));
  EXPECT_EQ(window->size(), QSize(980, 700));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());  // the player cannot resize it
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);  // its own title bar, no minimise or maximise
  EXPECT_EQ(window->titleBar->geometry(), QRect(1, 1, 978, TitleBar::kHeight));
  EXPECT_EQ(window->storyPicture->geometry(), QRect(1, 31, 978, 337));
  EXPECT_EQ(window->storyText->geometry(), QRect(1, 368, 978, 208));
  EXPECT_EQ(window->choiceList->geometry(), QRect(1, 576, 978, 123));
  EXPECT_EQ(game.mainWindow->StoryTextWidth(), window->storyText->width());

  // A script makes the window too small for the list: it gets no room, the rest stays.
  game.mainWindow->height = 500;
  game.mainWindow->Changed(MainWindowState::kGeometry);
  EXPECT_EQ(window->size(), QSize(980, 500));
  EXPECT_EQ(window->storyText->geometry(), QRect(1, 368, 978, 208));
  EXPECT_EQ(window->choiceList->height(), 0);
}

TEST_F(MainWindowTest, TheTitleBarHoldsTheItemsAtItsRightEnd) {
  Game& game = Make("[a]\n");
  Configure(game, 0, 0, 700, 980);
  Show();
  const TitleBar& bar = *window->titleBar;
  EXPECT_EQ(bar.audioItem->text(), "Audio...");
  EXPECT_EQ(bar.audioItem->size(), QSize(55, 26));
  EXPECT_EQ(bar.inventoryItem->text(), "Инвентарь");
  EXPECT_EQ(bar.inventoryItem->size(), QSize(82, 26));
  EXPECT_LT(bar.audioItem->geometry().right(), bar.inventoryItem->geometry().left());
  EXPECT_LT(bar.inventoryItem->geometry().right(), bar.closeBox->geometry().left());
  EXPECT_GE(bar.closeBox->geometry().right(), bar.width() - 4);
  EXPECT_LT(bar.caption->geometry().right(), bar.audioItem->geometry().left());
}

TEST_F(MainWindowTest, DraggingTheTitleBarMovesTheWindowAndTheShutdownSeesWhere) {
  Game& game = Make("[a]\n");
  Configure(game, 100, 50, 700, 980);
  Show();
  QWidget* bar = window->titleBar;
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(200, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(260, 30), bar->mapToGlobal(QPointF(260, 30)), Qt::NoButton,
                   Qt::LeftButton, {});
  QApplication::sendEvent(bar, &move);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(260, 30));
  EXPECT_EQ(window->pos(), QPoint(160, 70));
  EXPECT_EQ(game.mainWindow->left, 160);
  EXPECT_EQ(game.mainWindow->top, 70);
}

TEST_F(MainWindowTest, TheStoryTextIsReadOnlyPlainTextInTheWindowsFont) {
  Game& game = Make("[a]\ntextsize=2\nLine0=\xcf\xf0\xe8\xe2\xe5\xf2 <b>not bold</b>\nLine1=second\n");
  LoadPage(game, "a");
  QTextEdit* story = window->storyText;
  EXPECT_TRUE(story->isReadOnly());
  EXPECT_EQ(story->toPlainText(), "Привет <b>not bold</b>\nsecond");
  EXPECT_EQ(story->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(story->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(story->textCursor().position(), 0);

  MainWindowState& form = *game.mainWindow;
  form.wordWrap = false;
  form.fontName = "Courier New";
  form.fontSize = 14;
  form.Changed(MainWindowState::kWordWrap | MainWindowState::kFont);
  EXPECT_EQ(story->lineWrapMode(), QTextEdit::NoWrap);
  EXPECT_EQ(story->font().pointSize(), 14);
  EXPECT_EQ(story->font().family(), InstalledFamilyFor("Courier New"));
  EXPECT_EQ(window->font().family(), story->font().family());
}

TEST_F(MainWindowTest, ATextLoadedFromAFileKeepsTheCaretAPageLoadMovesItToTheStart) {
  Game& game = Make("[a]\ntextsize=1\nLine0=first page\n");
  MainWindowState& form = *game.mainWindow;
  form.storyLines = {"one", "two", "three"};
  form.Changed(MainWindowState::kStoryText);
  QTextCursor caret = window->storyText->textCursor();
  caret.setPosition(6);
  window->storyText->setTextCursor(caret);
  form.storyLines = {"uno", "dos", "tres"};
  form.Changed(MainWindowState::kStoryText);  // as $form.LoadTextFromFile changes it
  EXPECT_EQ(window->storyText->toPlainText(), "uno\ndos\ntres");
  EXPECT_EQ(window->storyText->textCursor().position(), 6);
  LoadPage(game, "a");
  EXPECT_EQ(window->storyText->textCursor().position(), 0);
}

TEST_F(MainWindowTest, ThePictureIsStretchedToItsBox) {
  Game& game = Make("[a]\n");
  auto picture = std::make_shared<Picture>();
  picture->width = 2;
  picture->height = 1;
  picture->pixels = {0xFFFF0000, 0xFF0000FF};
  game.mainWindow->picture = picture;
  game.mainWindow->Changed(MainWindowState::kPicture);
  Show();
  const QImage shown = window->storyPicture->grab().toImage();
  EXPECT_EQ(shown.size(), QSize(934, 337));
  EXPECT_EQ(shown.pixelColor(10, 10), QColor(Qt::red));
  EXPECT_EQ(shown.pixelColor(924, 326), QColor(Qt::blue));
  game.mainWindow->picture = nullptr;
  game.mainWindow->Changed(MainWindowState::kPicture);
  EXPECT_TRUE(window->storyPicture->pixmap().isNull());
}

const char kChoices[] =
    "[hall]\nActionsCount=4\n"
    "Action0.Script=one_line\nAction0.LinesCount=1\nAction0.Line0=North\n"
    "Action1.Script=disabled\nAction1.Enabled=0\nAction1.LinesCount=1\nAction1.Line0=Secret\n"
    "Action2.Script=three_lines\nAction2.LinesCount=3\nAction2.Line0=A\nAction2.Line1=\"B\"\nAction2.Line2=C\n"
    "Action3.Script=four_lines\nAction3.LinesCount=4\nAction3.Line0=1\nAction3.Line1=2\nAction3.Line2=3\n"
    "Action3.Line3=4\n"
    "Page.RequireFastAnswer=1\nPage.AnswerTime=5000\nPage.FastScript=too_slow\n";

class ChoiceListTest : public MainWindowTest {
 protected:
  // The main window on screen with the page of kChoices.
  ChoiceList* ShowChoices() {
    Game& game = Make(kChoices);
    Configure(game, 0, 0, 900, 980);
    LoadPage(game, "hall");
    Show();
    return window->choiceList;
  }
};

TEST_F(MainWindowTest, ChoiceItemsAreSixteenPixelsALine) {
  Game& game = Make(kChoices, "[GameForm]\nCaption=Test\n[Font]\nSize=14\n");
  Configure(game, 0, 0, 900, 980);
  LoadPage(game, "hall");
  Show();
  ChoiceList* list = window->choiceList;
  ASSERT_EQ(list->count(), 3);  // the disabled action has no item
  EXPECT_EQ(list->visualItemRect(list->item(0)).height(), 16);
  EXPECT_EQ(list->visualItemRect(list->item(1)).height(), 48);
  EXPECT_EQ(list->visualItemRect(list->item(2)).height(), 64);
  EXPECT_EQ(list->item(1)->text(), "A B C");  // read out as drawn, without the quotes
}

TEST_F(ChoiceListTest, ChoicesAreDrawnInTheirColoursAndTheSelectionStandsOut) {
  ChoiceList* list = ShowChoices();
  auto colours = [&](int row) {
    const QImage shot = list->viewport()->grab(list->visualItemRect(list->item(row))).toImage();
    std::set<QRgb> seen;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) seen.insert(shot.pixel(x, y) & 0xFFFFFF);
    return seen;
  };
  const std::set<QRgb> plain = colours(0);
  EXPECT_TRUE(plain.count(0x000000));                       // black background
  EXPECT_TRUE(plain.count(ChoiceList::kText.rgb() & 0xFFFFFF));  // text 153, 137, 137
  list->setCurrentRow(0);
  const std::set<QRgb> selected = colours(0);
  EXPECT_FALSE(selected.count(0x000000));
  EXPECT_TRUE(selected.count(list->palette().highlight().color().rgb() & 0xFFFFFF));
}

// Double-clicks the list at a point of its viewport, as the platform notes say Qt needs it.
void DoubleClick(ChoiceList* list, QPoint at) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

TEST_F(ChoiceListTest, ADoubleClickChoosesTheItemUnderThePointer) {
  ChoiceList* list = ShowChoices();
  Game& game = tg.game();
  DoubleClick(list, list->visualItemRect(list->item(1)).center());
  EXPECT_TRUE(Logged("Error:Script Error! Script three_lines not found!"));
  EXPECT_FALSE(Logged("Error:Script Error! Script disabled not found!"));
  EXPECT_FALSE(game.answerTimer.Enabled());
}

TEST_F(ChoiceListTest, ADoubleClickBelowTheLastItemOnlyStopsTheFastAnswer) {
  ChoiceList* list = ShowChoices();
  Game& game = tg.game();
  list->setCurrentRow(0);
  const size_t before = LogMessages(game).size();
  DoubleClick(list, QPoint(20, list->visualItemRect(list->item(2)).bottom() + 10));
  EXPECT_EQ(LogMessages(game).size(), before);
  EXPECT_FALSE(game.answerTimer.Enabled());
  EXPECT_EQ(game.mainWindow->selectedChoice, -1);
}

TEST_F(ChoiceListTest, KeysMoveAsInAnyListAndEnterChoosesTheHighlight) {
  // kChoices lists North (one_line), A B C (three_lines) and 1 2 3 4 (four_lines).
  const struct {
    std::vector<int> keys;
    const char* chosen;  // null: nothing is chosen
  } cases[] = {
      {{Qt::Key_Down}, "one_line"},
      {{Qt::Key_Up}, "four_lines"},
      {{Qt::Key_Down, Qt::Key_Down}, "three_lines"},
      {{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}, "four_lines"},
      {{Qt::Key_End}, "four_lines"},
      {{Qt::Key_End, Qt::Key_Home}, "one_line"},
      {{Qt::Key_PageDown}, "four_lines"},
      {{Qt::Key_End, Qt::Key_PageUp}, "one_line"},
      {{}, nullptr},
  };
  ChoiceList* list = ShowChoices();
  for (const auto& c : cases) {
    LoadPage(tg.game(), "hall");  // nothing highlighted
    list->setFocus();
    const size_t before = LogMessages(tg.game()).size();
    for (int key : c.keys) QTest::keyClick(list, static_cast<Qt::Key>(key));
    QTest::keyClick(list, Qt::Key_Return);
    const auto log = LogMessages(tg.game());
    const std::vector<std::string> added(log.begin() + static_cast<long>(before), log.end());
    const std::vector<std::string> expected =
        c.chosen ? std::vector<std::string>{std::string("Error:Script Error! Script ") + c.chosen + " not found!"}
                 : std::vector<std::string>{};
    EXPECT_EQ(added, expected) << (c.chosen ? c.chosen : "nothing");
  }
}

TEST_F(ChoiceListTest, TheFirstDownHighlightsTheFirstChoiceAfterTheWindowIsActivated) {
  ChoiceList* list = ShowChoices();
  // What gaining focus from a window manager does: the first row current, not highlighted.
  QFocusEvent focus(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(list, &focus);
  list->selectionModel()->setCurrentIndex(list->model()->index(0, 0), QItemSelectionModel::NoUpdate);
  EXPECT_EQ(tg.game().mainWindow->selectedChoice, -1);
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(tg.game().mainWindow->selectedChoice, 0);
  EXPECT_TRUE(list->item(0)->isSelected());
}

TEST_F(ChoiceListTest, ASingleClickHighlightsBeforeEnterReadsTheList) {
  ChoiceList* list = ShowChoices();
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Down);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
  EXPECT_EQ(tg.game().mainWindow->selectedChoice, 0);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_TRUE(Logged("Error:Script Error! Script one_line not found!"));
  EXPECT_FALSE(Logged("Error:Script Error! Script three_lines not found!"));
}

TEST_F(MainWindowTest, TheTitleBarItemsOpenTheirWindows) {
  Game& game = Make("[a]\n");
  Configure(game, 120, 80, 700, 980);
  game.audioWindow->LoadSettings(game);
  AudioWindow audio(game);
  InventoryWindow inventory(game);
  Show();
  EXPECT_FALSE(audio.isVisible());
  EXPECT_FALSE(inventory.isVisible());

  QTest::mouseClick(window->titleBar->audioItem, Qt::LeftButton);
  EXPECT_TRUE(audio.isVisible());
  EXPECT_TRUE(game.audioWindow->visible);

  QTest::mouseClick(window->titleBar->inventoryItem, Qt::LeftButton);
  EXPECT_TRUE(inventory.isVisible());
  EXPECT_EQ(inventory.pos(), QPoint(120, 80));  // on the main window's top-left corner
}

TEST_F(MainWindowTest, TheCloseBoxClosesTheWindow) {
  Make("[a]\n");
  Show();
  bool closed = false;
  QObject::connect(window.get(), &MainWindow::closed, [&] { closed = true; });
  QTest::mouseClick(window->titleBar->closeBox, Qt::LeftButton);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, ControlsCarryAccessibleNames) {
  Make("[a]\n");
  for (QWidget* w : std::initializer_list<QWidget*>{window->storyPicture, window->storyText, window->choiceList,
                                                    window->titleBar->audioItem, window->titleBar->inventoryItem,
                                                    window->titleBar->closeBox})
    EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
}

// Marks every text it is asked for, as a translation into another language would change it.
class MarkingTranslator : public QTranslator {
 public:
  QString translate(const char*, const char* source, const char*, int) const override {
    return QStringLiteral("~") + QString::fromUtf8(source);
  }
  bool isEmpty() const override { return false; }
};

// A screen reader speaks the player's own names in the player's language; the game's
// designed texts (the title bar's items) stay as the game has them.
TEST_F(MainWindowTest, ThePlayersOwnAccessibleNamesAreTranslated) {
  MarkingTranslator marking;
  QCoreApplication::installTranslator(&marking);
  Game& game = Make("[a]\n");
  game.audioWindow->LoadSettings(game);
  AudioWindow audio(game);
  QCoreApplication::removeTranslator(&marking);
  for (QWidget* w : std::initializer_list<QWidget*>{window->storyText, window->choiceList, window->titleBar->closeBox,
                                                    audio.volumeBar, audio.balanceBar})
    EXPECT_TRUE(w->accessibleName().startsWith(QLatin1Char('~')))
        << w->objectName().toStdString() << ": " << w->accessibleName().toStdString();
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// The window's geometry in units, drawn at a scale: the screen of these tests is 1920 by
// 1200 (ui_fixture.cpp).
TEST_F(MainWindowTest, AWindowLargerThanTheScreenIsDrawnSmallerWithItsUnitsKept) {
  Game& game = Make(kChoices);
  Configure(game, 50, 40, 2400, 1960);  // twice the usual size: half of it fits
  LoadPage(game, "hall");
  Show();
  EXPECT_DOUBLE_EQ(window->scale(), 0.5);
  EXPECT_EQ(window->size(), QSize(980, 1200));
  EXPECT_EQ(window->pos(), QPoint(50, 0));  // moved up to stay on the screen
  EXPECT_EQ(window->storyPicture->geometry(), QRect(1, 16, 979, 168));
  // 48 units, or more where the letters at this size need it (they never scale evenly).
  EXPECT_GE(window->choiceList->visualItemRect(window->choiceList->item(1)).height(), 24);
  EXPECT_LT(window->choiceList->visualItemRect(window->choiceList->item(1)).height(), 48);
  EXPECT_EQ(window->titleBar->audioItem->size(), QSize(30, 15));  // as its small letters need
  EXPECT_EQ(game.mainWindow->StoryTextWidth(), 1958);  // units, whatever the scale
  EXPECT_EQ(game.mainWindow->width, 1960);
  EXPECT_EQ(game.mainWindow->left, 50);
  EXPECT_EQ(game.mainWindow->top, 0);
}

TEST_F(MainWindowTest, ZoomKeysScaleTheWindowAndItsFonts) {
  Game& game = Make("[a]\n");
  Configure(game, 0, 0, 720, 980);
  Show();
  const int fontPixels = QFontInfo(window->storyText->font()).pixelSize();
  const struct {
    QKeySequence key;
    double scale;
    QSize size;
  } steps[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_Equal), 1.1, {1078, 792}},
      {QKeySequence(Qt::CTRL | Qt::Key_Equal), 1.25, {1225, 900}},
      {QKeySequence(Qt::CTRL | Qt::Key_Equal), 1.5, {1470, 1080}},
      {QKeySequence(Qt::CTRL | Qt::Key_Equal), 1200.0 / 720, {1633, 1200}},  // no more than fits
      {QKeySequence(Qt::CTRL | Qt::Key_Equal), 1200.0 / 720, {1633, 1200}},
      {QKeySequence(Qt::CTRL | Qt::Key_0), 1.0, {980, 720}},
      {QKeySequence(Qt::CTRL | Qt::Key_Minus), 0.9, {882, 648}},
  };
  for (const auto& step : steps) {
    QTest::keySequence(window.get(), step.key);
    EXPECT_NEAR(window->scale(), step.scale, 1e-9) << step.key.toString().toStdString();
    EXPECT_EQ(window->size(), step.size) << step.key.toString().toStdString();
  }
  EXPECT_LT(QFontInfo(window->storyText->font()).pixelSize(), fontPixels);  // 0.9 of it
  EXPECT_EQ(game.mainWindow->width, 980);  // the units stay
}

TEST_F(MainWindowTest, FullScreenCentresTheFormOnBlack) {
  Game& game = Make("[a]\n");
  Configure(game, 100, 60, 720, 980);
  Show();
  QTest::keyClick(window.get(), Qt::Key_F11);
  ASSERT_TRUE(window->fullScreen());
  QTRY_COMPARE(window->size(), QSize(1920, 1200));
  const double scale = 1200.0 / 720;
  EXPECT_NEAR(window->scale(), scale, 1e-9);
  // 980 units at that scale is 1633 pixels, centred: 143 pixels of black each side.
  EXPECT_EQ(window->titleBar->geometry().left(), 143 + 2);
  EXPECT_EQ(window->titleBar->geometry().top(), 2);
  EXPECT_EQ(window->choiceList->geometry().bottom(), 1200 - 2 - 1);
  EXPECT_EQ(game.mainWindow->left, 100);  // full screen is not a place to save
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->fullScreen());
  QTRY_COMPARE(window->size(), QSize(980, 720));
  EXPECT_EQ(window->pos(), QPoint(100, 60));
}

TEST_F(MainWindowTest, TheToolWindowsFollowTheMainWindowsScale) {
  Game& game = Make("[a]\n");
  Configure(game, 0, 0, 720, 980);
  game.audioWindow->LoadSettings(game);
  AudioWindow audio(game, window.get());
  InventoryWindow inventory(game, window.get());
  QObject::connect(window.get(), &MainWindow::scaleChanged, &audio, &AudioWindow::SetScale);
  QObject::connect(window.get(), &MainWindow::scaleChanged, &inventory, &InventoryWindow::SetScale);
  Show();
  window->SetZoom(0.5);
  EXPECT_EQ(audio.size(), QSize(131, 81));
  EXPECT_EQ(audio.okButton->geometry().topLeft(), QPoint(44, 63));  // grown upwards to hold its caption
  EXPECT_EQ(audio.okButton->geometry().bottom(), 80);
  EXPECT_GT(audio.okButton->geometry().top(), audio.balanceBar->geometry().bottom());
  EXPECT_EQ(audio.okButton->width(), 38);
  EXPECT_EQ(inventory.size(), QSize(288, 314));
  EXPECT_EQ(inventory.description->geometry(), QRect(160, 176, 125, 121));
  EXPECT_EQ(QFontInfo(inventory.font()).pixelSize(), 7);  // 13 pixels at half
  EXPECT_EQ(audio.windowType(), Qt::Dialog);  // with a parent: a transient window
  EXPECT_EQ(audio.parentWidget(), window.get());  // stays above the main window
}

// No text is clipped at any zoom (half size up to what fills the screen, as full screen
// does): the title bar's font follows the scale and its items hold their captions, every
// choice row holds its letters whole (the tails of у, р, g, j included), and the
// inventory's buttons hold their captions.
TEST_F(MainWindowTest, TextFitsItsRowsAndControlsAtEveryScale) {
  Game& game = Make(
      "[hall]\nActionsCount=3\n"
      "Action0.Script=a\nAction0.LinesCount=1\nAction0.Line0=Jagged quay, \xE4\xEE\xF0\xEE\xE3\xE0 \xE2\xED\xE8\xE7\n"
      "Action1.Script=b\nAction1.LinesCount=1\nAction1.Line0=gypsy jig \xF3\xE4\xE0\xF0 \xF0\xF3\xEA\xE8\n"
      "Action2.Script=c\nAction2.LinesCount=1\nAction2.Line0=py\n");
  Configure(game, 0, 0, 720, 980);
  LoadPage(game, "hall");
  InventoryWindow inventory(game, window.get());
  QObject::connect(window.get(), &MainWindow::scaleChanged, &inventory, &InventoryWindow::SetScale);
  Show();
  ChoiceList* list = window->choiceList;
  ASSERT_EQ(list->count(), 3);
  for (const double zoom : {0.5, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 2.0}) {
    window->SetZoom(zoom);
    QCoreApplication::processEvents();
    const double scale = window->scale();
    const std::string at = "at scale " + std::to_string(scale);
    TitleBar* bar = window->titleBar;
    for (QToolButton* item : {bar->audioItem, bar->inventoryItem}) {
      const QFontMetrics metrics(item->font());
      EXPECT_NEAR(QFontInfo(item->font()).pixelSize(), 13 * scale, 1.5) << at;
      EXPECT_LE(metrics.horizontalAdvance(item->text()), item->width()) << item->text().toStdString() << " " << at;
      EXPECT_LE(metrics.height(), item->height()) << at;
    }
    EXPECT_LT(bar->audioItem->geometry().right(), bar->inventoryItem->geometry().left()) << at;
    EXPECT_NEAR(QFontInfo(bar->caption->font()).pixelSize(), 13 * scale, 1.5) << at;

    // Each row shows its letters whole: as tall in ink as they are without a row around
    // them, and no ink on the row's top edge.
    const ChoiceFont choiceFont = ChoiceDrawingFont(game);
    const QFontMetrics drawn(GameFont(QString::fromStdString(choiceFont.name), choiceFont.size, scale), list->viewport());
    const QImage shot = list->viewport()->grab().toImage();
    for (int k = 0; k < list->count(); ++k) {
      // Any light pixel on the black rows counts as ink.
      EXPECT_EQ(testing::CutText(shot, list->visualItemRect(list->item(k)),
                                 drawn.tightBoundingRect(list->item(k)->text()).height(), false, 0),
                "")
          << "row " << k << " " << at;
    }
    for (QPushButton* button : {inventory.useButton, inventory.wearButton, inventory.closeButton}) {
      EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString() << " " << at;
      EXPECT_GE(button->geometry().left(), 0) << at;
      EXPECT_LE(button->geometry().right(), inventory.width()) << at;
    }
  }
}

// A broken game tells the reader over the window what it lacks, and goes on as it did.
TEST_F(MainWindowTest, WhatABrokenGameLacksIsSaidOverTheWindow) {
  tg.dir.Write("Scripts/Scripts.bsf", "___script lost $goto nowhere ___end\n___script far $run gone ___end\n");
  Game& game = Make(
      "[hall]\ntextsize=1\nLine0=Hall.\nQuestPicture=lamp.jpg\nActionsCount=2\n"
      "Action0.Script=lost\nAction0.LinesCount=1\nAction0.Line0=A\n"
      "Action1.Script=far\nAction1.LinesCount=1\nAction1.Line0=B\n");
  LoadScriptLibrary(game);
  Show();
  const auto notice = [this] {
    const auto* label = window->findChild<QLabel*>(QStringLiteral("notice"));
    return label && label->isVisible() ? label->text().toStdString() : std::string();
  };
  const auto choose = [&game](int k) {
    game.mainWindow->selectedChoice = k;
    game.RunEvent([&game] { ChooseHighlightedAction(game); });
  };
  LoadPage(game, "hall");
  EXPECT_EQ(notice(), "The game's picture lamp.jpg is missing. LastStart.log says more.");
  choose(1);
  EXPECT_EQ(notice(), "The game has no script \"gone\". LastStart.log says more.");
  choose(0);
  EXPECT_EQ(notice(), "The game has no page \"nowhere\". LastStart.log says more.");
  EXPECT_EQ(game.page->currentPage, "nowhere");
}

TEST_F(MainWindowTest, EscapeIsTheToolWindowsCloseBox) {
  Game& game = Make("[a]\n");
  game.audioWindow->LoadSettings(game);
  AudioWindow audio(game, window.get());
  InventoryWindow inventory(game, window.get());
  Show();
  game.inventoryWindow->Open(game);
  game.audioWindow->Open(game);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&inventory));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&audio));
  for (QWidget* tool : std::initializer_list<QWidget*>{&inventory, &audio}) {
    tool->activateWindow();
    QTest::keyClick(tool->focusWidget() ? tool->focusWidget() : tool, Qt::Key_Escape);
    EXPECT_FALSE(tool->isVisible()) << tool->objectName().toStdString();
  }
  EXPECT_FALSE(game.inventoryWindow->visible);
  EXPECT_FALSE(game.audioWindow->visible);
}

TEST_F(MainWindowTest, TheTitleBarsMenuOffersTheWindowsCommands) {
  Make("[a]\n");
  Show();
  QStringList offered;
  QTimer::singleShot(50, [&] {
    if (QWidget* menu = QApplication::activePopupWidget()) {
      for (QAction* action : menu->actions())
        if (action->isVisible() && !action->isSeparator()) offered << action->text();
      menu->close();
    }
  });
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(100, 10), window->titleBar->mapToGlobal(QPoint(100, 10)));
  QApplication::sendEvent(window->titleBar, &click);
  EXPECT_EQ(offered, QStringList({"Audio...", "Инвентарь", "Zoom in", "Zoom out", "Actual size", "Full screen", "Keys",
                                  "About Velmora Player"}));
  // The program offers the library when it has one; others add their own commands.
  window->libraryAction->setVisible(true);
  EXPECT_TRUE(window->titleMenuActions.contains(window->libraryAction));
}

}  // namespace
}  // namespace velmora
