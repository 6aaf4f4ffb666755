#pragma once
// The audio options window (object name TForm2): a view over the core's AudioWindowState.
// It draws that state whenever the core reports a change and forwards the player's moves
// and clicks to the core's operations; it keeps no state of its own. Made with the main
// window as its parent, it is a dialog-type window that window managers keep above it; it is drawn at the main window's scale; Escape
// closes it.
#include <QWidget>

#include "ui/window_scale.h"

class QLabel;
class QPushButton;
class QSlider;

namespace velmora {

class Game;

class AudioWindow : public QWidget {
  Q_OBJECT

 public:
  explicit AudioWindow(Game& game, QWidget* parent = nullptr);
  ~AudioWindow() override;

  // The controls; their object names are the designed ones the skin and plug-ins see.
  QLabel* volumeLabel;    // sLabel1
  QSlider* volumeBar;     // Volume
  QLabel* balanceLabel;   // sLabel2
  QSlider* balanceBar;    // Balance
  QPushButton* okButton;  // sButton1

  void SetScale(double scale);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Redraw();

  Game& game_;
  bool redrawing_ = false;  // moves made while drawing are not the player's
  int shownFor_ = 0;        // the core's show count last brought to the front
  double scale_ = 1.0;
  ScaledPlacement placement_;
};

}  // namespace velmora
