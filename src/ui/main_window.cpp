#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>
#include <QWindow>

#include <algorithm>
#include <utility>

#include "velmora_version.h"

#include "audio/audio_window_state.h"
#include "inventory/inventory_window_state.h"
#include "base/game.h"
#include "base/main_window_state.h"
#include "ui/accessible_frames.h"
#include "ui/choice_list.h"
#include "ui/fonts.h"
#include "ui/picture_pixmap.h"
#include "ui/skin.h"
#include "ui/notice.h"
#include "ui/title_bar.h"
#include "ui/window_scale.h"

namespace velmora {

namespace {

QAction* Command(QWidget* window, const QString& text, const QList<QKeySequence>& keys) {
  auto* action = new QAction(text, window);
  action->setShortcuts(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  window->addAction(action);
  return action;
}

}  // namespace

MainWindow::MainWindow(Game& game, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), game_(game) {
  setObjectName(QStringLiteral("TForm1"));
  setAttribute(Qt::WA_StyledBackground);  // the skin draws the window's frame

  titleBar = new TitleBar(this);

  storyPicture = new QLabel(this);
  storyPicture->setObjectName(QStringLiteral("Storypic"));
  storyPicture->setAccessibleName(tr("Picture"));
  storyPicture->setScaledContents(true);  // stretched to fill its box, proportions not kept

  storyText = new QTextEdit(this);
  storyText->setObjectName(QStringLiteral("Story"));
  storyText->setAccessibleName(tr("Story text"));
  storyText->setReadOnly(true);
  storyText->setAcceptRichText(false);
  storyText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  storyText->setTabChangesFocus(true);  // Tab goes on to the title bar's items
  storyText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  storyText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette storyColours = storyText->palette();
  storyColours.setColor(QPalette::Base, ChoiceList::kBackground);
  storyColours.setColor(QPalette::Text, ChoiceList::kText);
  storyText->setPalette(storyColours);

  choiceList = new ChoiceList(game, this);
  // Tab goes round every control: the choices, the story text, then the title bar's items.
  setTabOrder(choiceList, storyText);
  setTabOrder(storyText, titleBar->audioItem);
  setTabOrder(titleBar->audioItem, titleBar->inventoryItem);
  setTabOrder(titleBar->inventoryItem, titleBar->closeBox);
  setTabOrder(titleBar->closeBox, choiceList);
  // No focus proxy on the window: Tab would stop at the window itself, pass the focus on to
  // the choices and so never reach the title bar's items. The choices take the focus when
  // the window shows and when a page comes (Redraw).

  connect(titleBar, &TitleBar::audioClicked, this, [this] { game_.audioWindow->Open(game_); });
  connect(titleBar, &TitleBar::inventoryClicked, this, [this] { game_.inventoryWindow->Open(game_); });
  connect(titleBar, &TitleBar::closeClicked, this, &QWidget::close);

  zoomInAction = Command(this, tr("Zoom in"),
                         {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
  zoomOutAction = Command(this, tr("Zoom out"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
  zoomResetAction = Command(this, tr("Actual size"), {QKeySequence(Qt::CTRL | Qt::Key_0)});
  fullScreenAction = Command(this, tr("Full screen"), {QKeySequence(Qt::Key_F11)});
  fullScreenAction->setCheckable(true);
  libraryAction = Command(this, tr("Game library..."), {});
  libraryAction->setVisible(false);
  // The title bar's two items, fixed captions, also reachable from the menu by keys.
  audioAction = Command(this, QStringLiteral("Audio..."), {});
  inventoryAction = Command(this, QStringLiteral("Инвентарь"), {});
  keysAction = Command(this, tr("Keys"), {QKeySequence(Qt::Key_F1)});
  aboutAction = Command(this, tr("About Velmora Player"), {});
  // The menu key and Shift+F10 open the title bar's menu below the bar.
  auto* menuAction = Command(this, tr("Menu"), {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
  connect(menuAction, &QAction::triggered, this, [this] { ShowTitleMenu(titleBar->mapToGlobal(QPoint(0, titleBar->height()))); });
  const auto separator = [this] {
    auto* line = new QAction(this);
    line->setSeparator(true);
    return line;
  };
  titleMenuActions = {audioAction,    inventoryAction, separator(), zoomInAction, zoomOutAction, zoomResetAction,
                      fullScreenAction, separator(),   libraryAction, keysAction, aboutAction};
  connect(audioAction, &QAction::triggered, titleBar, &TitleBar::audioClicked);
  connect(inventoryAction, &QAction::triggered, titleBar, &TitleBar::inventoryClicked);
  connect(keysAction, &QAction::triggered, this, &MainWindow::ShowKeys);
  connect(aboutAction, &QAction::triggered, this, &MainWindow::ShowAbout);
  connect(zoomInAction, &QAction::triggered, this, [this] { SetZoom(NextZoomStep(scale_)); });
  connect(zoomOutAction, &QAction::triggered, this, [this] { SetZoom(PreviousZoomStep(scale_)); });
  connect(zoomResetAction, &QAction::triggered, this, [this] { SetZoom(1.0); });
  connect(fullScreenAction, &QAction::triggered, this, [this](bool on) { SetFullScreen(on); });
  connect(libraryAction, &QAction::triggered, this, &MainWindow::libraryRequested);
  connect(titleBar, &TitleBar::menuRequested, this, &MainWindow::ShowTitleMenu);

  InstallAccessibleFrames();
  game_.mainWindow->onChanged = [this](unsigned parts) { Redraw(parts); };
  Redraw(~0u & ~MainWindowState::kStoryCaret);
  // A broken game says so over the window (and goes on as the log says).
  game_.onMissing = [this](Game::Missing what, const std::string& name) {
    ShowNotice(*this, MissingText(what, Screen(name)));
  };
}

MainWindow::~MainWindow() {
  game_.mainWindow->onChanged = nullptr;
  game_.onMissing = nullptr;
}

QString MainWindow::Screen(const std::string& bytes) const { return QString::fromStdString(game_.codec.ToUtf8(bytes)); }

void MainWindow::Redraw(unsigned parts) {
  const MainWindowState& state = *game_.mainWindow;
  if (parts & MainWindowState::kCaption) {
    setWindowTitle(Screen(state.caption));
    titleBar->SetCaption(Screen(state.caption));
    NamePicture();
  }
  if (parts & MainWindowState::kGeometry) DrawGeometry();
  if (parts & MainWindowState::kFont) DrawFont();
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
  // A new page's choices take the focus, so a screen reader goes on there (unless the
  // reader is in another of the player's windows).
  if ((parts & MainWindowState::kChoices) && isActiveWindow() && !choiceList->hasFocus()) choiceList->setFocus();
}

void MainWindow::NamePicture() {
  // The picture is named by the caption; its file name is its description.
  const MainWindowState& state = *game_.mainWindow;
  storyPicture->setAccessibleName(state.caption.empty() ? tr("Picture") : Screen(state.caption));
  const std::string& file = state.pictureFile;
  const size_t cut = file.find_last_of("/\\");
  storyPicture->setAccessibleDescription(state.picture ? Screen(cut == std::string::npos ? file : file.substr(cut + 1))
                                                       : QString());
}

void MainWindow::DrawFont() {
  // The story text has the window's font; the choice list reads its own at every drawing.
  const MainWindowState& state = *game_.mainWindow;
  const QFont font = GameFont(Screen(state.fontName), state.fontSize, scale_);
  setFont(font);
  // The player's text size, apart from the zoom: the story text grows and scrolls.
  storyText->setFont(textSize_ > 0 ? GameFont(Screen(state.fontName), textSize_, scale_) : font);
}

void MainWindow::SetTextSize(int points) {
  textSize_ = std::max(0, points);
  choiceList->SetTextSize(textSize_);
  DrawFont();
}

QSize MainWindow::UnitSize() const {
  const MainWindowState& state = *game_.mainWindow;
  // Until config.ini applies, the designed client area below the title bar.
  const int width = state.width > 0 ? state.width : MainWindowState::kDesignClientWidth + 2 * kBorder;
  const int height =
      state.height > 0 ? state.height : MainWindowState::kDesignClientHeight + TitleBar::kHeight + 2 * kBorder;
  return {std::max(width, 1), std::max(height, 1)};
}

void MainWindow::DrawGeometry() {
  if (fullScreen_) {
    LayOut();
    return;
  }
  MainWindowState& state = *game_.mainWindow;
  const QSize units = UnitSize();
  const QRect wanted(QPoint(state.left, state.top), units);
  const QRect area = ScreenFor(wanted)->availableGeometry();
  const double scale = std::min(zoom_, FitScale(units, area.size()));
  const QRect placed = KeepOnScreens(QRect(wanted.topLeft(), QSize(Scaled(units.width(), scale),
                                                                     Scaled(units.height(), scale))));
  placing_ = true;
  setFixedSize(placed.size());
  move(placed.topLeft());
  placing_ = false;
  // A position off the screens is where the window now is: the shutdown saves that.
  state.left = placed.left();
  state.top = placed.top();
  origin_ = {};
  ApplyScale(scale);
  LayOut();  // also while hidden, when Qt holds resize events back
}

void MainWindow::ApplyScale(double scale) {
  if (scale == scale_) return;
  scale_ = scale;
  // The skin's measures at the scale; at 1 the application's own sheet serves.
  setStyleSheet(scale == 1.0 ? QString() : ScaledStyleSheet(SkinStyleSheet(), scale));
  titleBar->SetScale(scale);
  choiceList->SetScale(scale);
  DrawFont();
  emit scaleChanged(scale);
}

void MainWindow::SetZoom(double zoom) {
  zoom_ = std::clamp(zoom, kZoomSteps[0], std::end(kZoomSteps)[-1]);
  DrawGeometry();
}

void MainWindow::SetFullScreen(bool on) {
  if (on == fullScreen_) return;
  fullScreen_ = on;
  fullScreenAction->setChecked(on);
  // Full screen, the frame gives way to black bars around the form.
  setProperty("fullScreen", on);
  style()->unpolish(this);
  style()->polish(this);
  if (on) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    showFullScreen();
  } else {
    showNormal();
  }
  DrawGeometry();
}

void MainWindow::ShowTitleMenu(QPoint at) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("TitleMenu"));
  menu.addActions(titleMenuActions);
  menu.exec(at);
}

void MainWindow::ShowKeys() {
  QMessageBox box(QMessageBox::NoIcon, tr("Keys"), QString(), QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("KeyList"));
  box.setTextFormat(Qt::RichText);
  const std::pair<const char*, QString> rows[] = {
      {"Enter", tr("choose the selected choice (or double-click it)")},
      {"\u2191 \u2193 Home End", tr("select a choice")},
      {"Tab", tr("go to the next control: choices, story text, the title bar's items")},
      {"Menu, Shift+F10", tr("the menu: \"Audio...\", \"Инвентарь\", zoom, saves, the game library")},
      {"F5, F9", tr("quick save, quick load")},
      {"Ctrl+S, Ctrl+O", tr("the Save window, the Load window")},
      {"Backspace, Ctrl+Z", tr("back to before the last choice")},
      {"Ctrl+=, Ctrl+-, Ctrl+0", tr("zoom in, zoom out, actual size")},
      {"F11", tr("full screen")},
      {"Escape", tr("close a tool window; leave full screen")},
      {"F1", tr("this list")},
  };
  QString table = QStringLiteral("<table cellspacing=4>");
  for (const auto& [keys, what] : rows)
    table += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(QString::fromUtf8(keys).toHtmlEscaped(), what.toHtmlEscaped());
  box.setText(table + QStringLiteral("</table>"));
  box.exec();
}

void MainWindow::ShowAbout() {
  QMessageBox::about(this, tr("About Velmora Player"),
                     tr("Velmora Player v %1\nA player for branching interactive stories.")
                         .arg(QString::fromLatin1(VELMORA_VERSION)));
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
  NamePicture();
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
  const QSize units = UnitSize();
  if (fullScreen_) {
    // The largest scale that fits, the form centred.
    const double scale = FitScale(units, size());
    origin_ = QPoint((width() - Scaled(units.width(), scale)) / 2, (height() - Scaled(units.height(), scale)) / 2);
    ApplyScale(scale);
  }
  // Docked from the top: title bar, picture, story text; the choice list takes the rest
  // (nothing when a script makes the window too small for it).
  const int inner = std::max(0, units.width() - 2 * kBorder);
  const auto place = [this, inner](QWidget* control, int top, int height) {
    control->setGeometry(ScaledRect(QRect(kBorder, top, inner, height), scale_, origin_));
  };
  int top = kBorder;
  place(titleBar, top, TitleBar::kHeight);
  top += TitleBar::kHeight;
  place(storyPicture, top, MainWindowState::kPictureHeight);
  FitPicture();
  top += MainWindowState::kPictureHeight;
  place(storyText, top, MainWindowState::kStoryHeight);
  top += MainWindowState::kStoryHeight;
  place(choiceList, top, std::max(0, units.height() - kBorder - top));
}

void MainWindow::moveEvent(QMoveEvent*) {
  // Where the player dragged the window: the shutdown saves it.
  if (placing_ || fullScreen_ || isFullScreen()) return;
  game_.mainWindow->left = x();
  game_.mainWindow->top = y();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && fullScreen_) {
    SetFullScreen(false);
    return;
  }
  QWidget::keyPressEvent(event);
}

void MainWindow::showEvent(QShowEvent*) {
  choiceList->setFocus();
  // On another screen the scale that fits may differ.
  if (QWindow* handle = windowHandle(); handle && !watchingScreen_) {
    watchingScreen_ = true;
    connect(handle, &QWindow::screenChanged, this, [this] {
      if (!fullScreen_) DrawGeometry();
    });
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

}  // namespace velmora
