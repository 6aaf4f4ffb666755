#include "ui/inventory_window.h"

#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "inventory/inventory_window_state.h"
#include "base/game.h"

using velmora::InventoryWindowState;

namespace {

// The window's own captions are UTF-8; the game's texts go through the game's codec.
QString Caption(const char* utf8) { return QString::fromUtf8(utf8); }

QFont WindowFont(int pixelHeight) {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelHeight);
  return font;
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->move(left, top);
  label->adjustSize();
  return label;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const char* caption, int left) {
  auto* button = new QPushButton(Caption(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(left, 600, 75, 25);
  button->setAccessibleName(Caption(caption));
  return button;
}

// The list's and the memo's own colours: text 153, 137, 137 on black.
const char kTextColours[] = "background-color: black; color: rgb(153, 137, 137);";

}  // namespace

InventoryWindow::InventoryWindow(velmora::Game& game, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      game_(game) {
  setObjectName(QStringLiteral("TForm3"));
  setWindowTitle(Caption(InventoryWindowState::kCaption));
  setFixedSize(InventoryWindowState::kClientWidth, InventoryWindowState::kClientHeight);
  setFont(WindowFont(13));

  sListBox1 = new QListWidget(this);
  sListBox1->setObjectName(QStringLiteral("sListBox1"));
  sListBox1->setGeometry(0, 0, 313, InventoryWindowState::kClientHeight);
  sListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  sListBox1->setUniformItemSizes(true);
  sListBox1->setFont(WindowFont(11));
  sListBox1->setStyleSheet(QString::fromLatin1(kTextColours));
  sListBox1->setAccessibleName(Caption(InventoryWindowState::kCaption));
  sListBox1->viewport()->installEventFilter(this);

  sImage1 = new QLabel(this);
  sImage1->setObjectName(QStringLiteral("sImage1"));
  sImage1->setGeometry(320, 8, 250, 250);
  sImage1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  sLabel1 = PlaceLabel(this, "sLabel1", Caption(InventoryWindowState::kItemCaption), 320, 272);
  sLabel2 = PlaceLabel(this, "sLabel2", QString(), 392, 272);
  sLabel3 = PlaceLabel(this, "sLabel3", Caption(InventoryWindowState::kCountCaption), 320, 304);
  sLabel4 = PlaceLabel(this, "sLabel4", QString(), 376, 304);
  sLabel5 = PlaceLabel(this, "sLabel5", Caption(InventoryWindowState::kDescriptionCaption), 320, 336);

  sMemo1 = new QPlainTextEdit(this);
  sMemo1->setObjectName(QStringLiteral("sMemo1"));
  sMemo1->setGeometry(320, 352, 249, 241);
  sMemo1->setReadOnly(true);
  sMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  sMemo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sMemo1->setStyleSheet(QString::fromLatin1(kTextColours));
  sMemo1->setAccessibleName(Caption(InventoryWindowState::kDescriptionCaption));

  sButton1 = PlaceButton(this, "sButton1", InventoryWindowState::kUseCaption, 320);
  sButton3 = PlaceButton(this, "sButton3", InventoryWindowState::kWearCaption, 408);
  sButton2 = PlaceButton(this, "sButton2", InventoryWindowState::kCloseCaption, 496);

  setTabOrder(sListBox1, sMemo1);
  setTabOrder(sMemo1, sButton1);
  setTabOrder(sButton1, sButton2);
  setTabOrder(sButton2, sButton3);

  // Keyboard moves report at once; a mouse click reports once, when it is complete (also
  // on the entry already selected, as a click does).
  connect(sListBox1, &QListWidget::currentRowChanged, this, [this] {
    if (!redrawing_ && !mouseDown_) ListClicked();
  });
  connect(sListBox1, &QListWidget::clicked, this, [this] {
    if (!redrawing_) ListClicked();
  });
  connect(sButton1, &QPushButton::clicked, this, [this] { velmora::PressInventoryUse(game_); });
  connect(sButton3, &QPushButton::clicked, this, [this] { velmora::PressInventoryWear(game_); });
  connect(sButton2, &QPushButton::clicked, this, [this] { velmora::CloseInventoryWindow(game_); });

  game_.inventoryWindow->onChanged = [this](unsigned parts) { Redraw(parts); };
  Redraw(InventoryWindowState::kAll & ~InventoryWindowState::kBringToFront);
}

InventoryWindow::~InventoryWindow() { game_.inventoryWindow->onChanged = nullptr; }

bool InventoryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == sListBox1->viewport()) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
      mouseDown_ = true;
    else if (event->type() == QEvent::MouseButtonRelease)
      mouseDown_ = false;
  }
  return QWidget::eventFilter(watched, event);
}

void InventoryWindow::ListClicked() {
  const QList<QListWidgetItem*> selected = sListBox1->selectedItems();
  velmora::SelectInventoryEntry(game_, selected.isEmpty() ? -1 : sListBox1->row(selected.front()));
}

void InventoryWindow::closeEvent(QCloseEvent* event) {
  // The close box hides the window, as the close button does; the core decides.
  if (game_.inventoryWindow->visible) velmora::CloseInventoryWindow(game_);
  event->accept();
}

void InventoryWindow::Redraw(unsigned parts) {
  const InventoryWindowState& form = *game_.inventoryWindow;
  redrawing_ = true;
  if (parts & InventoryWindowState::kList) DrawList();
  if (parts & InventoryWindowState::kDetail) DrawDetail();
  if (parts & InventoryWindowState::kButtons) DrawButtons();
  if (parts & InventoryWindowState::kGeometry) move(form.left, form.top);
  if ((parts & InventoryWindowState::kVisibility) && isVisible() != form.visible) setVisible(form.visible);
  if ((parts & InventoryWindowState::kBringToFront) && form.visible) {
    raise();
    activateWindow();
  }
  redrawing_ = false;
}

void InventoryWindow::DrawList() {
  const InventoryWindowState& form = *game_.inventoryWindow;
  bool same = sListBox1->count() == static_cast<int>(form.entries.size());
  for (int k = 0; same && k < sListBox1->count(); ++k)
    same = sListBox1->item(k)->data(Qt::UserRole).toByteArray().toStdString() == form.entries[k];
  if (!same) {
    sListBox1->clear();
    for (const std::string& entry : form.entries) {
      auto* item = new QListWidgetItem(QString::fromStdString(game_.codec.ToUtf8(entry)), sListBox1);
      item->setData(Qt::UserRole, QByteArray::fromStdString(entry));
      item->setSizeHint(QSize(0, InventoryWindowState::kListEntryHeight));
    }
  }
  if (form.selectedEntry >= 0 && form.selectedEntry < sListBox1->count()) {
    sListBox1->setCurrentRow(form.selectedEntry);
  } else {
    sListBox1->clearSelection();
    sListBox1->setCurrentRow(-1);
  }
}

void InventoryWindow::DrawDetail() {
  const InventoryWindowState& form = *game_.inventoryWindow;
  const auto text = [this](const std::string& bytes) { return QString::fromStdString(game_.codec.ToUtf8(bytes)); };
  sLabel2->setText(text(form.itemName));
  sLabel2->adjustSize();
  sLabel4->setText(text(form.itemCount));
  sLabel4->adjustSize();
  QStringList lines;
  for (const std::string& line : form.description) lines << text(line);
  sMemo1->setPlainText(lines.join(QLatin1Char('\n')));

  if (!form.picture || form.picture->width <= 0 || form.picture->height <= 0) {
    sImage1->clear();
    return;
  }
  const velmora::Picture& pic = *form.picture;
  QImage image(reinterpret_cast<const uchar*>(pic.pixels.data()), pic.width, pic.height, pic.width * 4,
               QImage::Format_ARGB32);
  QPixmap pixmap = QPixmap::fromImage(image.copy());
  // A picture larger than its box is shrunk to fit rather than cut off.
  if (pixmap.width() > sImage1->width() || pixmap.height() > sImage1->height())
    pixmap = pixmap.scaled(sImage1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
  sImage1->setPixmap(pixmap);
}

void InventoryWindow::DrawButtons() {
  const InventoryWindowState& form = *game_.inventoryWindow;
  sButton1->setEnabled(form.useEnabled);
  sButton3->setEnabled(form.wearEnabled);
  const char* wear = form.wearTakesOff ? InventoryWindowState::kTakeOffCaption : InventoryWindowState::kWearCaption;
  sButton3->setText(Caption(wear));
  sButton3->setAccessibleName(Caption(wear));
}
