#pragma once
// The audio options window, AudioWindow: a view over the core's AudioWindowState. It draws that
// state whenever the core reports a change and forwards the player's moves and clicks to
// the core's handlers, each as one window event; it keeps no state of its own.
#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;

namespace velmora {
class Game;
}

class AudioWindow : public QWidget {
  Q_OBJECT

 public:
  explicit AudioWindow(velmora::Game& game, QWidget* parent = nullptr);
  ~AudioWindow() override;

  // The controls, under the names the window was designed with (also their object names).
  QLabel* sLabel1;
  QSlider* Volume;
  QLabel* sLabel2;
  QSlider* Balance;
  QPushButton* sButton1;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Redraw();

  velmora::Game& game_;
  bool redrawing_ = false;  // moves made while drawing are not the player's
  int shownFor_ = 0;        // the core's show count last brought to the front
};
