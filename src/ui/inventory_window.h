#pragma once
// The inventory window (object name TForm3): a view over the core's InventoryWindowState.
// It draws that state whenever the core reports a change and forwards the player's clicks
// to the core's operations; it keeps no state of its own. Made with the main window as its
// parent, it is a dialog-type window that window managers keep above it; it is drawn at the main window's scale, its list text never below the system's
// normal text size; Escape closes it.
#include <QWidget>

#include "ui/window_scale.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace velmora {

class Game;

class InventoryWindow : public QWidget {
  Q_OBJECT

 public:
  explicit InventoryWindow(Game& game, QWidget* parent = nullptr);
  ~InventoryWindow() override;

  // The controls; their object names are the designed ones the skin and plug-ins see.
  QListWidget* itemList;        // sListBox1
  QLabel* itemPicture;          // sImage1
  QLabel* itemCaption;          // sLabel1
  QLabel* itemName;             // sLabel2
  QLabel* countCaption;         // sLabel3
  QLabel* itemCount;            // sLabel4
  QLabel* descriptionCaption;   // sLabel5
  QPlainTextEdit* description;  // sMemo1
  QPushButton* useButton;       // sButton1
  QPushButton* wearButton;      // sButton3
  QPushButton* closeButton;     // sButton2

  void SetScale(double scale);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Redraw(unsigned parts);
  void DrawList();
  void DrawDetail();
  void DrawButtons();
  void ReportSelection();
  void Place();

  Game& game_;
  bool redrawing_ = false;  // changes made while drawing are not the player's
  bool mouseDown_ = false;  // a mouse click reports its selection once, when complete
  double scale_ = 1.0;
  ScaledPlacement placement_;
};

}  // namespace velmora
