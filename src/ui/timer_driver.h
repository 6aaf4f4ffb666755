#pragma once
// Drives the game's timers from Qt's event loop: one single-shot QTimer armed for the
// earliest deadline and re-armed whenever the schedule changes. Because it is an ordinary
// Qt timer, it also fires inside the event loops of modal dialogs.
#include <QObject>
#include <QTimer>

namespace velmora {

class TimerHub;

class QtTimerDriver : public QObject {
 public:
  explicit QtTimerDriver(TimerHub& hub);
  ~QtTimerDriver() override;

 private:
  void Rearm();
  TimerHub& hub_;
  QTimer timer_;
};

}  // namespace velmora
