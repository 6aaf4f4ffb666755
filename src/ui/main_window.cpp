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
#include "ui/title_bar.h"

using velmora::MainWindowState;
using velmora::TitleBar;

MainWindow::MainWindow(velmora::Game& game, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), game_(game) {
  setObjectName(QStringLiteral("TForm1"));
  setAttribute(Qt::WA_StyledBackground);  // the skin draws the window's frame

  sTitleBar1 = new TitleBar(this);

  Storypic = new QLabel(this);
  Storypic->setObjectName(QStringLiteral("Storypic"));
  Storypic->setAccessibleName(QStringLiteral("Picture"));
  Storypic->setScaledContents(true);  // stretched to fill its box, proportions not kept

  Story = new QTextEdit(this);
  Story->setObjectName(QStringLiteral("Story"));
  Story->setAccessibleName(QStringLiteral("Story text"));
  Story->setReadOnly(true);
  Story->setAcceptRichText(false);
  Story->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  Story->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Story->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette storyColours = Story->palette();
  storyColours.setColor(QPalette::Base, velmora::ChoiceList::kBackground);
  storyColours.setColor(QPalette::Text, velmora::ChoiceList::kText);
  Story->setPalette(storyColours);

  sListBox1 = new velmora::ChoiceList(game, this);
  setTabOrder(sListBox1, Story);
  setFocusProxy(sListBox1);

  connect(sTitleBar1, &TitleBar::audioClicked, this, [this] { game_.RunEvent([this] { ShowAudioOptions(game_); }); });
  connect(sTitleBar1, &TitleBar::inventoryClicked, this, [this] { velmora::OpenInventoryWindow(game_); });
  connect(sTitleBar1, &TitleBar::closeClicked, this, &QWidget::close);

  game_.mainWindow->onChanged = [this](unsigned parts) { Redraw(parts); };
  Redraw(~0u & ~MainWindowState::kStoryCaret);
}

MainWindow::~MainWindow() { game_.mainWindow->onChanged = nullptr; }

QString MainWindow::Screen(const std::string& bytes) const { return QString::fromStdString(game_.codec.ToUtf8(bytes)); }

void MainWindow::Redraw(unsigned parts) {
  const MainWindowState& form = *game_.mainWindow;
  if (parts & MainWindowState::kCaption) {
    setWindowTitle(Screen(form.caption));
    sTitleBar1->SetCaption(Screen(form.caption));
  }
  if (parts & MainWindowState::kGeometry) DrawGeometry();
  if (parts & MainWindowState::kFont) {
    // The story text has the window's font; the choice list reads its own at every drawing.
    const QFont font = velmora::GameFont(Screen(form.fontName), form.fontSize);
    setFont(font);
    Story->setFont(font);
  }
  if (parts & MainWindowState::kWordWrap)
    Story->setLineWrapMode(form.wordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  if (parts & MainWindowState::kStoryText) {
    DrawStoryText(parts & MainWindowState::kStoryCaret);
  } else if (parts & MainWindowState::kStoryCaret) {
    Story->moveCursor(QTextCursor::Start);
    Story->horizontalScrollBar()->setValue(0);
  }
  if (parts & MainWindowState::kPicture) DrawPicture();
  if (parts & (MainWindowState::kChoices | MainWindowState::kSelection)) sListBox1->Redraw(parts);
}

void MainWindow::DrawGeometry() {
  const MainWindowState& form = *game_.mainWindow;
  // Until config.ini applies, the designed client area below the title bar.
  const int width = form.width > 0 ? form.width : MainWindowState::kDesignClientWidth + 2 * kBorder;
  const int height =
      form.height > 0 ? form.height : MainWindowState::kDesignClientHeight + TitleBar::kHeight + 2 * kBorder;
  setFixedSize(std::max(width, 1), std::max(height, 1));
  move(form.left, form.top);
  LayOut();  // also while hidden, when Qt holds resize events back
}

void MainWindow::DrawStoryText(bool caretToStart) {
  QStringList lines;
  for (const std::string& line : game_.mainWindow->storyLines) lines << Screen(line);
  QScrollBar* vertical = Story->verticalScrollBar();
  QScrollBar* horizontal = Story->horizontalScrollBar();
  const int caret = Story->textCursor().position();
  const int down = vertical->value();
  const int across = horizontal->value();
  Story->setPlainText(lines.join(QLatin1Char('\n')));
  if (caretToStart) {
    Story->moveCursor(QTextCursor::Start);
    vertical->setValue(0);
    horizontal->setValue(0);
  } else {
    // A text loaded from a file keeps the caret and the scroll position.
    QTextCursor cursor = Story->textCursor();
    cursor.setPosition(std::min(caret, static_cast<int>(Story->document()->characterCount()) - 1));
    Story->setTextCursor(cursor);
    vertical->setValue(down);
    horizontal->setValue(across);
  }
  // At once: the script that loaded the page may go on for a while ($sleep).
  Story->repaint();
}

void MainWindow::DrawPicture() {
  const auto& picture = game_.mainWindow->picture;
  if (!picture || picture->width <= 0 || picture->height <= 0) {
    Storypic->clear();
    return;
  }
  const QImage image(reinterpret_cast<const uchar*>(picture->pixels.data()), picture->width, picture->height,
                     picture->width * 4, QImage::Format_ARGB32);
  Storypic->setPixmap(QPixmap::fromImage(image.copy()));
}

void MainWindow::resizeEvent(QResizeEvent*) { LayOut(); }

void MainWindow::LayOut() {
  // Docked from the top: title bar, picture, story text; the choice list takes the rest
  // (nothing when a script makes the window too small for it).
  const int inner = std::max(0, width() - 2 * kBorder);
  int top = kBorder;
  sTitleBar1->setGeometry(kBorder, top, inner, TitleBar::kHeight);
  top += TitleBar::kHeight;
  Storypic->setGeometry(kBorder, top, inner, MainWindowState::kPictureHeight);
  top += MainWindowState::kPictureHeight;
  Story->setGeometry(kBorder, top, inner, MainWindowState::kStoryHeight);
  top += MainWindowState::kStoryHeight;
  sListBox1->setGeometry(kBorder, top, inner, std::max(0, height() - kBorder - top));
  game_.mainWindow->storyWidth = Story->width();
}

void MainWindow::moveEvent(QMoveEvent*) {
  // Where the player dragged the window: the shutdown saves it.
  game_.mainWindow->left = x();
  game_.mainWindow->top = y();
}

void MainWindow::showEvent(QShowEvent*) { sListBox1->setFocus(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}
