#pragma once
// The time left on a timed page, in whole seconds at the picture's top right corner: a
// reader who takes longer sees how long the page waits. Off by default (a setting). It
// shows the real wait, the player's time to read included.
#include <QLabel>
#include <QTimer>

namespace velmora {

class Game;

class Countdown : public QLabel {
  Q_OBJECT

 public:
  Countdown(Game& game, QWidget* picture);
  void SetEnabled(bool on);

 private:
  void Tick();
  Game& game_;
  QTimer tick_;
  bool on_ = false;
};

}  // namespace velmora
