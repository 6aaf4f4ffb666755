#pragma once
// The audio options window, TForm2: a view over the core's AudioForm. It draws that
// state whenever the core reports a change and forwards the player's moves and clicks to
// the core's handlers, each as one window event; it keeps no state of its own.
#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;

namespace velmora {
class Game;
}

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm2(velmora::Game& game, QWidget* parent = nullptr);
  ~TForm2() override;

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
