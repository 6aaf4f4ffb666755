#include "ui/title_bar.h"

#include <algorithm>

#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <QWindow>

#include "ui/fonts.h"

namespace velmora {

namespace {

QToolButton* Item(QWidget* parent, const char* name, const QString& text, int width) {
  auto* item = new QToolButton(parent);
  item->setObjectName(QString::fromLatin1(name));
  item->setText(text);
  item->setAccessibleName(text);
  item->setFixedSize(width, TitleBar::kItemHeight);
  item->setFocusPolicy(Qt::TabFocus);
  item->setCursor(Qt::PointingHandCursor);
  return item;
}

}  // namespace

TitleBar::TitleBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("sTitleBar1"));
  setAttribute(Qt::WA_StyledBackground);
  setFixedHeight(kHeight);
  setFont(GameFont(QStringLiteral("MS Sans Serif"), -13));

  caption = new QLabel(this);
  caption->setObjectName(QStringLiteral("sTitleBar1Caption"));
  caption->setTextFormat(Qt::PlainText);
  caption->setAttribute(Qt::WA_TransparentForMouseEvents);  // the bar under it drags

  audioItem = Item(this, "sTitleBar1Items0", QStringLiteral("Audio..."), kAudioItemWidth);
  inventoryItem = Item(this, "sTitleBar1Items1", QStringLiteral("Инвентарь"), kInventoryItemWidth);
  closeBox = Item(this, "sTitleBar1Close", QString(QChar(0x2715)), kItemHeight + 8);
  closeBox->setAccessibleName(QStringLiteral("Close"));
  closeBox->setToolTip(QStringLiteral("Close"));

  connect(audioItem, &QToolButton::clicked, this, &TitleBar::audioClicked);
  connect(inventoryItem, &QToolButton::clicked, this, &TitleBar::inventoryClicked);
  connect(closeBox, &QToolButton::clicked, this, &TitleBar::closeClicked);
}

void TitleBar::SetCaption(const QString& text) {
  caption->setText(text);
  setAccessibleName(text);
}

void TitleBar::resizeEvent(QResizeEvent*) {
  // Right to left: the close box, "Инвентарь", "Audio...", then the caption in what is left.
  const int top = (kHeight - kItemHeight) / 2;
  int right = width() - 2;
  for (QToolButton* item : {closeBox, inventoryItem, audioItem}) {
    right -= item->width();
    item->move(right, top);
    right -= 2;
  }
  caption->setGeometry(6, 0, std::max(0, right - 10), kHeight);
}

void TitleBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
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
