#pragma once
// The choice list (object name sListBox1): one item per enabled action of the page,
// measured and drawn by the core's rules (16 units a line, quotes removed, references
// substituted at every drawing, the font read from config.ini at every drawing), at the
// main window's scale. A double-click, or Enter on the highlighted item, chooses.
//
// Keys work as in any list: nothing is highlighted until the player moves, and the first
// move starts at an end (Down, Home, PageUp from the top; Up, End, PageDown from the
// bottom) instead of stepping from a row the list treats as current without showing it.
#include <QListWidget>
#include <QStyledItemDelegate>

namespace velmora {

class Game;

class ChoiceDelegate : public QStyledItemDelegate {
 public:
  ChoiceDelegate(Game& game, QObject* parent) : QStyledItemDelegate(parent), game_(game) {}
  void SetScale(double scale) { scale_ = scale; }
  void SetTextSize(int points) { textSize_ = points; }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  int LineHeight() const;
  QFont DrawingFont(double scale) const;
  // Device pixels from one line's top to the next: the scaled line height, or more where
  // the letters outgrow it (the look-alike of the game's face, font sizes that do not
  // scale evenly), so no tail of a letter is cut off.
  int LinePitch(const QPaintDevice* device) const;
  // Pixels a line's text is drawn below the line's top.
  int Lead(const QPaintDevice* device) const;
  Game& game_;
  double scale_ = 1.0;
  int textSize_ = 0;  // the player's text size in points; 0: the game's font size
};

class ChoiceList : public QListWidget {
  Q_OBJECT

 public:
  // The designed colours: text 153, 137, 137 on black.
  static const QColor kText;
  static const QColor kBackground;

  ChoiceList(Game& game, QWidget* parent);
  // Draws the core's list after a change (MainWindowState::kChoices, kSelection).
  void Redraw(unsigned parts);
  // Item heights and fonts follow the main window's scale.
  void SetScale(double scale);
  // The player's text size in points (0: the game's): the lines grow and keep apart.
  void SetTextSize(int points);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Choose();
  Game& game_;
  ChoiceDelegate* delegate_;
  bool redrawing_ = false;  // selection changes made while drawing are not the player's
};

}  // namespace velmora
