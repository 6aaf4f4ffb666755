#include "ui/title_bar.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <QWindow>

#include "ui/fonts.h"
#include "ui/window_scale.h"

namespace velmora {

namespace {

constexpr int kCloseBoxWidth = TitleBar::kItemHeight + 8;

QToolButton* Item(QWidget* parent, const char* name, const QString& text) {
  auto* item = new QToolButton(parent);
  item->setObjectName(QString::fromLatin1(name));
  item->setText(text);
  item->setAccessibleName(text);
  item->setFocusPolicy(Qt::TabFocus);
  item->setCursor(Qt::PointingHandCursor);
  return item;
}

}  // namespace

TitleBar::TitleBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("sTitleBar1"));
  setAttribute(Qt::WA_StyledBackground);

  caption = new QLabel(this);
  caption->setObjectName(QStringLiteral("sTitleBar1Caption"));
  caption->setTextFormat(Qt::PlainText);
  caption->setAttribute(Qt::WA_TransparentForMouseEvents);  // the bar under it drags

  audioItem = Item(this, "sTitleBar1Items0", QStringLiteral("Audio..."));
  inventoryItem = Item(this, "sTitleBar1Items1", QStringLiteral("Инвентарь"));
  closeBox = Item(this, "sTitleBar1Close", QString(QChar(0x2715)));
  closeBox->setAccessibleName(tr("Close"));
  closeBox->setToolTip(tr("Close"));

  connect(audioItem, &QToolButton::clicked, this, &TitleBar::audioClicked);
  connect(inventoryItem, &QToolButton::clicked, this, &TitleBar::inventoryClicked);
  connect(closeBox, &QToolButton::clicked, this, &TitleBar::closeClicked);
  SetScale(1.0);
}

void TitleBar::SetScale(double scale) {
  scale_ = scale;
  setFixedHeight(Scaled(kHeight, scale));
  // Each child gets the font itself: one the skin styles does not take its parent's.
  const QFont font = GameFont(QStringLiteral("MS Sans Serif"), -13, scale);
  setFont(font);
  for (QWidget* child : std::initializer_list<QWidget*>{caption, audioItem, inventoryItem, closeBox}) child->setFont(font);
  // Font sizes do not scale evenly: an item is at least as wide as its caption needs,
  // with two pixels clear inside its border (one unit) on each side.
  const auto size = [this, scale](QToolButton* item, int width) {
    const int needed =
        QFontMetrics(item->font()).horizontalAdvance(item->text()) + 2 * (std::max(1, Scaled(1, scale)) + 2);
    const int tall = QFontMetrics(item->font()).height() + 2 * (std::max(1, Scaled(1, scale)) + 1);
    item->setFixedSize(std::max(Scaled(width, scale), needed), std::min(std::max(Scaled(kItemHeight, scale), tall), height()));
  };
  size(audioItem, kAudioItemWidth);
  size(inventoryItem, kInventoryItemWidth);
  size(closeBox, kCloseBoxWidth);
  resizeEvent(nullptr);
}

void TitleBar::contextMenuEvent(QContextMenuEvent* event) { emit menuRequested(event->globalPos()); }

void TitleBar::SetCaption(const QString& text) {
  caption->setText(text);
  setAccessibleName(text);
}

void TitleBar::resizeEvent(QResizeEvent*) {
  // Right to left: the close box, "Инвентарь", "Audio...", then the caption in what is left.
  const int gap = Scaled(2, scale_);
  const int top = (height() - audioItem->height()) / 2;
  int right = width() - gap;
  for (QToolButton* item : {closeBox, inventoryItem, audioItem}) {
    right -= item->width();
    item->move(right, top);
    right -= gap;
  }
  caption->setGeometry(Scaled(6, scale_), 0, std::max(0, right - Scaled(10, scale_)), height());
}

void TitleBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || window()->isFullScreen()) return QWidget::mousePressEvent(event);
  // The window manager moves the window when it can (it knows the screen's edges);
  // without one, the bar moves it itself.
  QWindow* handle = window()->windowHandle();
  if (handle && handle->startSystemMove()) return;
  dragging_ = true;
  grab_ = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
}

void TitleBar::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) window()->move(event->globalPosition().toPoint() - grab_);
}

void TitleBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

}  // namespace velmora
