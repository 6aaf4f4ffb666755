#include "ui/main_window.h"

#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScrollBar>
#include <QTextEdit>

#include <algorithm>

#include "audio/audio_window_state.h"
#include "inventory/inventory_window_state.h"
#include "base/game.h"
#include "story/main_window_state.h"
#include "ui/choice_list.h"
#include "ui/fonts.h"
#include "ui/picture_pixmap.h"
#include "ui/title_bar.h"

namespace velmora {

MainWindow::MainWindow(Game& game, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), game_(game) {
  setObjectName(QStringLiteral("TForm1"));
  setAttribute(Qt::WA_StyledBackground);  // the skin draws the window's frame

  titleBar = new TitleBar(this);

  storyPicture = new QLabel(this);
  storyPicture->setObjectName(QStringLiteral("Storypic"));
  storyPicture->setAccessibleName(QStringLiteral("Picture"));
  storyPicture->setScaledContents(true);  // stretched to fill its box, proportions not kept

  storyText = new QTextEdit(this);
  storyText->setObjectName(QStringLiteral("Story"));
  storyText->setAccessibleName(QStringLiteral("Story text"));
  storyText->setReadOnly(true);
  storyText->setAcceptRichText(false);
  storyText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  storyText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  storyText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette storyColours = storyText->palette();
  storyColours.setColor(QPalette::Base, ChoiceList::kBackground);
  storyColours.setColor(QPalette::Text, ChoiceList::kText);
  storyText->setPalette(storyColours);

  choiceList = new ChoiceList(game, this);
  setTabOrder(choiceList, storyText);
  setFocusProxy(choiceList);

  connect(titleBar, &TitleBar::audioClicked, this, [this] { game_.audioWindow->Open(game_); });
  connect(titleBar, &TitleBar::inventoryClicked, this, [this] { game_.inventoryWindow->Open(game_); });
  connect(titleBar, &TitleBar::closeClicked, this, &QWidget::close);

  game_.mainWindow->onChanged = [this](unsigned parts) { Redraw(parts); };
  Redraw(~0u & ~MainWindowState::kStoryCaret);
}

MainWindow::~MainWindow() { game_.mainWindow->onChanged = nullptr; }

QString MainWindow::Screen(const std::string& bytes) const { return QString::fromStdString(game_.codec.ToUtf8(bytes)); }

void MainWindow::Redraw(unsigned parts) {
  const MainWindowState& state = *game_.mainWindow;
  if (parts & MainWindowState::kCaption) {
    setWindowTitle(Screen(state.caption));
    titleBar->SetCaption(Screen(state.caption));
  }
  if (parts & MainWindowState::kGeometry) DrawGeometry();
  if (parts & MainWindowState::kFont) {
    // The story text has the window's font; the choice list reads its own at every drawing.
    const QFont font = GameFont(Screen(state.fontName), state.fontSize);
    setFont(font);
    storyText->setFont(font);
  }
  if (parts & MainWindowState::kWordWrap)
    storyText->setLineWrapMode(state.wordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  if (parts & MainWindowState::kStoryText) {
    DrawStoryText(parts & MainWindowState::kStoryCaret);
  } else if (parts & MainWindowState::kStoryCaret) {
    storyText->moveCursor(QTextCursor::Start);
    storyText->horizontalScrollBar()->setValue(0);
  }
  if (parts & MainWindowState::kPicture) DrawPicture();
  if (parts & (MainWindowState::kChoices | MainWindowState::kSelection)) choiceList->Redraw(parts);
}

void MainWindow::DrawGeometry() {
  const MainWindowState& state = *game_.mainWindow;
  // Until config.ini applies, the designed client area below the title bar.
  const int width = state.width > 0 ? state.width : MainWindowState::kDesignClientWidth + 2 * kBorder;
  const int height =
      state.height > 0 ? state.height : MainWindowState::kDesignClientHeight + TitleBar::kHeight + 2 * kBorder;
  setFixedSize(std::max(width, 1), std::max(height, 1));
  move(state.left, state.top);
  LayOut();  // also while hidden, when Qt holds resize events back
}

void MainWindow::DrawStoryText(bool caretToStart) {
  QStringList lines;
  for (const std::string& line : game_.mainWindow->storyLines) lines << Screen(line);
  QScrollBar* vertical = storyText->verticalScrollBar();
  QScrollBar* horizontal = storyText->horizontalScrollBar();
  const int caret = storyText->textCursor().position();
  const int down = vertical->value();
  const int across = horizontal->value();
  storyText->setPlainText(lines.join(QLatin1Char('\n')));
  if (caretToStart) {
    storyText->moveCursor(QTextCursor::Start);
    vertical->setValue(0);
    horizontal->setValue(0);
  } else {
    // A text loaded from a file keeps the caret and the scroll position.
    QTextCursor cursor = storyText->textCursor();
    cursor.setPosition(std::min(caret, static_cast<int>(storyText->document()->characterCount()) - 1));
    storyText->setTextCursor(cursor);
    vertical->setValue(down);
    horizontal->setValue(across);
  }
  // At once: the script that loaded the page may go on for a while ($sleep).
  storyText->repaint();
}

void MainWindow::DrawPicture() {
  const auto& picture = game_.mainWindow->picture;
  if (!picture || picture->width <= 0 || picture->height <= 0) {
    storyPicture->clear();
    return;
  }
  storyPicture->setPixmap(PixmapOf(picture));
  FitPicture();
}

void MainWindow::FitPicture() {
  // Pictures come decoded at the box's size and are drawn as they are; only one made for
  // another size (the window resized since) is stretched while painting.
  const QPixmap pixmap = storyPicture->pixmap();
  storyPicture->setScaledContents(!pixmap.isNull() && pixmap.size() != storyPicture->size());
}

void MainWindow::resizeEvent(QResizeEvent*) { LayOut(); }

void MainWindow::LayOut() {
  // Docked from the top: title bar, picture, story text; the choice list takes the rest
  // (nothing when a script makes the window too small for it).
  const int inner = std::max(0, width() - 2 * kBorder);
  int top = kBorder;
  titleBar->setGeometry(kBorder, top, inner, TitleBar::kHeight);
  top += TitleBar::kHeight;
  storyPicture->setGeometry(kBorder, top, inner, MainWindowState::kPictureHeight);
  FitPicture();
  top += MainWindowState::kPictureHeight;
  storyText->setGeometry(kBorder, top, inner, MainWindowState::kStoryHeight);
  top += MainWindowState::kStoryHeight;
  choiceList->setGeometry(kBorder, top, inner, std::max(0, height() - kBorder - top));
}

void MainWindow::moveEvent(QMoveEvent*) {
  // Where the player dragged the window: the shutdown saves it.
  game_.mainWindow->left = x();
  game_.mainWindow->top = y();
}

void MainWindow::showEvent(QShowEvent*) { choiceList->setFocus(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

}  // namespace velmora
