#pragma once
// The choice list (object name sListBox1): one item per enabled action of the page,
// measured and drawn by the core's rules (16 pixels a line, quotes removed, references
// substituted at every drawing, the font read from config.ini at every drawing). A double-click, or Enter on
// the selected item, chooses.
#include <QListWidget>
#include <QStyledItemDelegate>

namespace velmora {

class Game;

class ChoiceDelegate : public QStyledItemDelegate {
 public:
  ChoiceDelegate(Game& game, QObject* parent) : QStyledItemDelegate(parent), game_(game) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  Game& game_;
};

class ChoiceList : public QListWidget {
 public:
  // The designed colours: text 153, 137, 137 on black.
  static const QColor kText;
  static const QColor kBackground;

  ChoiceList(Game& game, QWidget* parent);
  // Draws the core's list after a change (MainWindowState::kChoices, kSelection).
  void Redraw(unsigned parts);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Choose();
  Game& game_;
  bool redrawing_ = false;  // selection changes made while drawing are not the player's
};

}  // namespace velmora
