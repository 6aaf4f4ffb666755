#pragma once
// The inventory window, InventoryWindow: a view over the core's InventoryWindowState. It draws that
// state whenever the core reports a change and forwards the player's clicks to the core's
// handlers, each as one window event; it keeps no state of its own.
#include <QWidget>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace velmora {
class Game;
}

class InventoryWindow : public QWidget {
  Q_OBJECT

 public:
  explicit InventoryWindow(velmora::Game& game, QWidget* parent = nullptr);
  ~InventoryWindow() override;

  // The controls, under the names the window was designed with (also their object names).
  QListWidget* sListBox1;
  QLabel* sImage1;
  QLabel* sLabel1;
  QLabel* sLabel2;
  QLabel* sLabel3;
  QLabel* sLabel4;
  QLabel* sLabel5;
  QPlainTextEdit* sMemo1;
  QPushButton* sButton1;
  QPushButton* sButton3;
  QPushButton* sButton2;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Redraw(unsigned parts);
  void DrawList();
  void DrawDetail();
  void DrawButtons();
  void ListClicked();

  velmora::Game& game_;
  bool redrawing_ = false;  // changes made while drawing are not the player's
  bool mouseDown_ = false;  // a mouse click reports its selection once, when complete
};
