#include "ui/inventory_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QKeyEvent>

#include <algorithm>

#include "inventory/inventory_window_state.h"
#include "base/game.h"
#include "ui/fonts.h"
#include "ui/picture_pixmap.h"
#include "ui/skin.h"
#include "ui/window_scale.h"

namespace velmora {
namespace {

// The window's own captions are UTF-8; the game's texts go through the game's codec.
QString Caption(const char* utf8) { return QString::fromUtf8(utf8); }

const QString kFace = QStringLiteral("MS Sans Serif");
constexpr int kCaptionPixels = 13;

QLabel* PlaceLabel(ScaledPlacement& placement, QWidget* parent, const char* name, const QString& text, int left,
                   int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  placement.Place(label, QRect(left, top, 0, 0));
  // The skin styles its controls, which so take no font from the window: each its own.
  placement.SetFont(label, kFace, kCaptionPixels);
  return label;
}

QPushButton* PlaceButton(ScaledPlacement& placement, QWidget* parent, const char* name, const char* caption,
                         int left) {
  auto* button = new QPushButton(Caption(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  placement.SetFont(button, kFace, kCaptionPixels);
  placement.Place(button, QRect(left, 600, 75, 25));
  button->setAccessibleName(Caption(caption));
  return button;
}

// The list's text: the design's 11 pixels at the window's scale, but never below the
// system's normal text (and 12 pixels), so a window scaled down to fit a small screen
// keeps its list readable. Its rows grow with it.
constexpr int kListFontPixels = 11, kReadablePixels = 12;

QFont ListFont(double scale) {
  const int system = QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).pixelSize();
  return GameFont(kFace, -std::max({Scaled(kListFontPixels, scale), system, kReadablePixels}));
}

int ListRowHeight(const QFont& font, double scale) {
  return std::max(Scaled(InventoryWindowState::kListEntryHeight, scale), QFontMetrics(font).height());
}

// The list's and the memo's own colours: text 153, 137, 137 on black.
const char kTextColours[] = "background-color: black; color: rgb(153, 137, 137);";

}  // namespace

InventoryWindow::InventoryWindow(Game& game, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      game_(game) {
  setObjectName(QStringLiteral("TForm3"));
  setWindowTitle(Caption(InventoryWindowState::kCaption));
  placement_.Fix(this, QSize(InventoryWindowState::kClientWidth, InventoryWindowState::kClientHeight));
  placement_.SetFont(this, kFace, kCaptionPixels);

  itemList = new QListWidget(this);
  itemList->setObjectName(QStringLiteral("sListBox1"));
  placement_.Place(itemList, QRect(0, 0, 313, InventoryWindowState::kClientHeight));
  itemList->setSelectionMode(QAbstractItemView::SingleSelection);
  itemList->setUniformItemSizes(true);
  itemList->setFont(ListFont(scale_));
  itemList->setStyleSheet(QString::fromLatin1(kTextColours));
  itemList->setAccessibleName(Caption(InventoryWindowState::kCaption));
  itemList->viewport()->installEventFilter(this);

  itemPicture = new QLabel(this);
  itemPicture->setObjectName(QStringLiteral("sImage1"));
  placement_.Place(itemPicture, QRect(320, 8, 250, 250));
  itemPicture->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  itemCaption = PlaceLabel(placement_, this, "sLabel1", Caption(InventoryWindowState::kItemCaption), 320, 272);
  itemName = PlaceLabel(placement_, this, "sLabel2", QString(), 392, 272);
  countCaption = PlaceLabel(placement_, this, "sLabel3", Caption(InventoryWindowState::kCountCaption), 320, 304);
  itemCount = PlaceLabel(placement_, this, "sLabel4", QString(), 376, 304);
  descriptionCaption =
      PlaceLabel(placement_, this, "sLabel5", Caption(InventoryWindowState::kDescriptionCaption), 320, 336);

  description = new QPlainTextEdit(this);
  description->setObjectName(QStringLiteral("sMemo1"));
  placement_.Place(description, QRect(320, 352, 249, 241));
  description->setReadOnly(true);
  description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  description->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  description->setStyleSheet(QString::fromLatin1(kTextColours));
  description->setAccessibleName(Caption(InventoryWindowState::kDescriptionCaption));

  useButton = PlaceButton(placement_, this, "sButton1", InventoryWindowState::kUseCaption, 320);
  wearButton = PlaceButton(placement_, this, "sButton3", InventoryWindowState::kWearCaption, 408);
  closeButton = PlaceButton(placement_, this, "sButton2", InventoryWindowState::kCloseCaption, 496);
  placement_.Apply(scale_);

  setTabOrder(itemList, description);
  setTabOrder(description, useButton);
  setTabOrder(useButton, closeButton);
  setTabOrder(closeButton, wearButton);

  // Keyboard moves report at once; a mouse click reports once, when it is complete (also
  // on the entry already selected, as a click does).
  connect(itemList, &QListWidget::currentRowChanged, this, [this] {
    if (!redrawing_ && !mouseDown_) ReportSelection();
  });
  connect(itemList, &QListWidget::clicked, this, [this] {
    if (!redrawing_) ReportSelection();
  });
  connect(useButton, &QPushButton::clicked, this, [this] { game_.inventoryWindow->PressUse(game_); });
  connect(wearButton, &QPushButton::clicked, this, [this] { game_.inventoryWindow->PressWear(game_); });
  connect(closeButton, &QPushButton::clicked, this, [this] { game_.inventoryWindow->Close(game_); });

  game_.inventoryWindow->onChanged = [this](unsigned parts) { Redraw(parts); };
  Redraw(InventoryWindowState::kAll & ~InventoryWindowState::kBringToFront);
}

InventoryWindow::~InventoryWindow() { game_.inventoryWindow->onChanged = nullptr; }

bool InventoryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == itemList->viewport()) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
      mouseDown_ = true;
    else if (event->type() == QEvent::MouseButtonRelease)
      mouseDown_ = false;
  }
  return QWidget::eventFilter(watched, event);
}

void InventoryWindow::SetScale(double scale) {
  if (scale == scale_) return;
  scale_ = scale;
  setStyleSheet(scale == 1.0 ? QString() : ScaledStyleSheet(SkinStyleSheet(), scale));
  placement_.Apply(scale);
  itemList->setFont(ListFont(scale));
  const int rowHeight = ListRowHeight(itemList->font(), scale);
  for (int k = 0; k < itemList->count(); ++k) itemList->item(k)->setSizeHint(QSize(0, rowHeight));
  DrawDetail();
  if (isVisible()) Place();
}

void InventoryWindow::Place() {
  const InventoryWindowState& state = *game_.inventoryWindow;
  // Frame and all: a window manager's frame counts when the window must stay on a screen.
  const QSize frame = isVisible() ? frameGeometry().size() : size();
  move(KeepOnScreens(QRect(QPoint(state.left, state.top), frame)).topLeft());
}

void InventoryWindow::ReportSelection() {
  const QList<QListWidgetItem*> selected = itemList->selectedItems();
  game_.inventoryWindow->Select(game_, selected.isEmpty() ? -1 : itemList->row(selected.front()));
}

void InventoryWindow::keyPressEvent(QKeyEvent* event) {
  // Escape is the close box (the controls pass it on).
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    game_.inventoryWindow->Close(game_);
    return;
  }
  QWidget::keyPressEvent(event);
}

void InventoryWindow::closeEvent(QCloseEvent* event) {
  // The close box hides the window, as the close button does; the core decides.
  game_.inventoryWindow->Close(game_);
  event->accept();
}

void InventoryWindow::Redraw(unsigned parts) {
  const InventoryWindowState& state = *game_.inventoryWindow;
  redrawing_ = true;
  if (parts & InventoryWindowState::kList) DrawList();
  if (parts & InventoryWindowState::kDetail) DrawDetail();
  if (parts & InventoryWindowState::kButtons) DrawButtons();
  if (parts & (InventoryWindowState::kGeometry | InventoryWindowState::kVisibility)) Place();
  if ((parts & InventoryWindowState::kVisibility) && isVisible() != state.visible) setVisible(state.visible);
  if ((parts & InventoryWindowState::kBringToFront) && state.visible) {
    raise();
    activateWindow();
  }
  redrawing_ = false;
}

void InventoryWindow::DrawList() {
  const InventoryWindowState& state = *game_.inventoryWindow;
  bool same = itemList->count() == static_cast<int>(state.entries.size());
  for (int k = 0; same && k < itemList->count(); ++k)
    same = itemList->item(k)->data(Qt::UserRole).toByteArray().toStdString() == state.entries[k];
  if (!same) {
    itemList->clear();
    for (const std::string& entry : state.entries) {
      auto* item = new QListWidgetItem(QString::fromStdString(game_.codec.ToUtf8(entry)), itemList);
      item->setData(Qt::UserRole, QByteArray::fromStdString(entry));
      item->setSizeHint(QSize(0, ListRowHeight(itemList->font(), scale_)));
    }
  }
  if (state.selectedEntry >= 0 && state.selectedEntry < itemList->count()) {
    itemList->setCurrentRow(state.selectedEntry);
  } else {
    itemList->clearSelection();
    itemList->setCurrentRow(-1);
  }
}

void InventoryWindow::DrawDetail() {
  const InventoryWindowState& state = *game_.inventoryWindow;
  const auto text = [this](const std::string& bytes) { return QString::fromStdString(game_.codec.ToUtf8(bytes)); };
  itemName->setText(text(state.itemName));
  itemName->adjustSize();
  itemCount->setText(text(state.itemCount));
  itemCount->adjustSize();
  QStringList lines;
  for (const std::string& line : state.description) lines << text(line);
  description->setPlainText(lines.join(QLatin1Char('\n')));

  if (!state.picture || state.picture->width <= 0 || state.picture->height <= 0) {
    itemPicture->clear();
    return;
  }
  QPixmap pixmap = PixmapOf(state.picture);
  if (scale_ != 1.0)
    pixmap = pixmap.scaled(Scaled(pixmap.width(), scale_), Scaled(pixmap.height(), scale_), Qt::IgnoreAspectRatio,
                           Qt::SmoothTransformation);
  // A picture larger than its box is shrunk to fit rather than cut off (the loader makes
  // them fit already; this is for any other).
  if (pixmap.width() > itemPicture->width() || pixmap.height() > itemPicture->height())
    pixmap = pixmap.scaled(itemPicture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
  itemPicture->setPixmap(pixmap);
}

void InventoryWindow::DrawButtons() {
  const InventoryWindowState& state = *game_.inventoryWindow;
  useButton->setEnabled(state.useEnabled);
  wearButton->setEnabled(state.wearEnabled);
  const char* wear = state.wearTakesOff ? InventoryWindowState::kTakeOffCaption : InventoryWindowState::kWearCaption;
  wearButton->setText(Caption(wear));
  wearButton->setAccessibleName(Caption(wear));
}

}  // namespace velmora
