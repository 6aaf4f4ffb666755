#include "ui/choice_list.h"

#include <algorithm>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>

#include "base/game.h"
#include "base/main_window_state.h"
#include "story/choice_menu.h"
#include "ui/fonts.h"
#include "ui/window_scale.h"

namespace velmora {

namespace {

// The size of config.ini's [Font] Size when it is not given, for which the 16-unit line was
// designed.
constexpr int kDefaultChoiceFontSize = 10;

}  // namespace

const QColor ChoiceList::kText(153, 137, 137);
const QColor ChoiceList::kBackground(0, 0, 0);

int ChoiceDelegate::LineHeight() const {
  // The player's text size, when larger than the game's, spaces the lines apart to match.
  const int gameSize = ChoiceDrawingFont(game_).size;
  if (textSize_ <= 0 || gameSize <= 0 || textSize_ <= gameSize) return MainWindowState::kChoiceLineHeight;
  return MainWindowState::kChoiceLineHeight * textSize_ / gameSize;
}

QFont ChoiceDelegate::DrawingFont(double scale) const {
  const ChoiceFont choiceFont = ChoiceDrawingFont(game_);
  return GameFont(QString::fromStdString(game_.codec.ToUtf8(choiceFont.name)), textSize_ > 0 ? textSize_ : choiceFont.size,
                  scale);
}

int ChoiceDelegate::LinePitch(const QPaintDevice* device) const {
  // What a line's ink needs below its top: the ascent, then the deepest tail of a letter
  // (у, р, д, g, j...), a pixel for it and one clear below, so no tail touches the row's
  // edge.
  static const QString kDeepest = QStringLiteral("gjpqyQ\u0443\u0440\u0434\u0444\u0426\u0429\u0419");
  const auto inkNeeds = [&](double scale) {
    const QFontMetrics metrics(DrawingFont(scale), device);
    return Lead(device) + metrics.ascent() + metrics.tightBoundingRect(kDeepest).bottom() + 2;
  };
  const int designed = Scaled(LineHeight(), scale_);
  // A game that picks a font larger than the default has its lines overlap, as designed;
  // the default font's look-alike (and the player's text size) get the room they need.
  if (textSize_ <= 0 && ChoiceDrawingFont(game_).size > kDefaultChoiceFontSize) return designed;
  return std::max(designed, inkNeeds(scale_));
}

int ChoiceDelegate::Lead(const QPaintDevice* device) const {
  // The highest mark of a capital (Й, Ё) keeps a pixel clear of the line's top, which at
  // small sizes it would touch; a game's own larger font keeps its designed place.
  if (textSize_ <= 0 && ChoiceDrawingFont(game_).size > kDefaultChoiceFontSize) return 0;
  static const QString kHighest = QStringLiteral("\u0419\u0401\u00C5\u00C9");
  const QFontMetrics metrics(DrawingFont(scale_), device);
  return std::max(0, 1 - (metrics.ascent() + metrics.tightBoundingRect(kHighest).top()));
}

QSize ChoiceDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const int lines = std::max<int>(1, static_cast<int>(ChoiceLinesToDraw(game_, index.row()).size()));
  return {option.rect.width(),
          std::max(Scaled(ChoiceHeight(game_, index.row(), LineHeight()), scale_), lines * LinePitch(option.widget))};
}

void ChoiceDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QRect rect = option.rect;
  const bool selected = option.state & QStyle::State_Selected;
  painter->save();
  painter->setClipRect(rect);
  painter->fillRect(rect, selected ? option.palette.highlight().color() : ChoiceList::kBackground);
  const QFont font = DrawingFont(scale_);
  const int lineHeight = LineHeight();
  const int pitch = LinePitch(painter->device());
  painter->setFont(font);
  painter->setPen(selected ? option.palette.highlightedText().color() : ChoiceList::kText);
  const int ascent = Lead(painter->device()) + QFontMetrics(font, painter->device()).ascent();
  const std::vector<std::string> lines = ChoiceLinesToDraw(game_, index.row());
  // Lines stand 16 units apart whatever the font's size; a larger font overlaps.
  for (size_t a = 0; a < lines.size(); ++a) {
    const int k = static_cast<int>(a);
    const int top = rect.top() + std::max(Scaled(k * lineHeight, scale_), k * pitch);
    painter->drawText(QPoint(rect.left() + Scaled(2, scale_), top + ascent),
                      QString::fromStdString(game_.codec.ToUtf8(lines[a])));
  }
  if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_Selected)) {
    QStyleOptionFocusRect focus;
    focus.rect = rect.adjusted(0, 0, -1, -1);
    focus.state = option.state;
    focus.backgroundColor = option.palette.highlight().color();
    option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
  }
  painter->restore();
}

ChoiceList::ChoiceList(Game& game, QWidget* parent)
    : QListWidget(parent), game_(game), delegate_(new ChoiceDelegate(game, this)) {
  setObjectName(QStringLiteral("sListBox1"));
  setAccessibleName(tr("Choices"));
  setAccessibleDescription(tr("Double-click a choice, or select it and press Enter"));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(false);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setItemDelegate(delegate_);
  QPalette p = palette();
  p.setColor(QPalette::Base, kBackground);
  p.setColor(QPalette::Text, kText);
  setPalette(p);

  // The highlight is what Enter chooses. A click moves the current row before it selects,
  // so the selection, not the current row, is what the core is told.
  connect(this, &QListWidget::itemSelectionChanged, this, [this] {
    if (redrawing_) return;
    const QList<QListWidgetItem*> chosen = selectedItems();
    game_.mainWindow->selectedChoice = chosen.isEmpty() ? -1 : row(chosen.front());
    // The view already shows the move; self-voicing says it.
    if (game_.mainWindow->onNarration) game_.mainWindow->onNarration(MainWindowState::kSelection);
  });
}

void ChoiceList::SetTextSize(int points) {
  delegate_->SetTextSize(points);
  doItemsLayout();
  viewport()->update();
}

void ChoiceList::SetScale(double scale) {
  delegate_->SetScale(scale);
  doItemsLayout();
  viewport()->update();
}

QModelIndex ChoiceList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  if (count() == 0 || !selectedItems().isEmpty()) return QListWidget::moveCursor(action, modifiers);
  switch (action) {
    case MoveDown:
    case MoveNext:
    case MoveHome:
    case MovePageUp:
      return indexFromItem(item(0));
    case MoveUp:
    case MovePrevious:
    case MoveEnd:
    case MovePageDown:
      return indexFromItem(item(count() - 1));
    default:
      return QListWidget::moveCursor(action, modifiers);
  }
}

void ChoiceList::Redraw(unsigned parts) {
  const MainWindowState& form = *game_.mainWindow;
  redrawing_ = true;
  if (parts & MainWindowState::kChoices) {
    clear();
    const int total = static_cast<int>(form.choiceItems.size());
    for (int k = 0; k < total; ++k) {
      // What a screen reader reads: the item as it is drawn now, and its place.
      QStringList lines;
      for (const std::string& line : ChoiceLinesToDraw(game_, k))
        lines << QString::fromStdString(game_.codec.ToUtf8(line));
      auto* item = new QListWidgetItem(lines.join(QLatin1Char(' ')), this);
      item->setData(Qt::AccessibleDescriptionRole, tr("%1 of %2").arg(k + 1).arg(total));
    }
  }
  if (parts & (MainWindowState::kChoices | MainWindowState::kSelection)) {
    if (form.selectedChoice >= 0 && form.selectedChoice < count()) {
      setCurrentRow(form.selectedChoice);
    } else {
      clearSelection();
      setCurrentRow(-1);
    }
  }
  redrawing_ = false;
}

void ChoiceList::Choose() {
  game_.RunEvent([this] { ChooseHighlightedAction(game_); });
  // Items are substituted as they are drawn: show what the choice's script changed.
  viewport()->update();
}

void ChoiceList::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // The item under the pointer is the one chosen; below the last item there is none.
  const int hit = indexAt(event->position().toPoint()).row();
  redrawing_ = true;
  if (hit >= 0) {
    setCurrentRow(hit);
  } else {
    clearSelection();
    setCurrentRow(-1);
  }
  redrawing_ = false;
  game_.mainWindow->selectedChoice = hit;
  Choose();
}

void ChoiceList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Choose();
    return;
  }
  // Qt makes the first row current, unseen, when the list gains focus; a move from it
  // would skip the first choice (or, for Down, land on the row it already holds).
  if (selectedItems().isEmpty() && currentIndex().isValid()) {
    redrawing_ = true;
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    redrawing_ = false;
  }
  QListWidget::keyPressEvent(event);
}

}  // namespace velmora
