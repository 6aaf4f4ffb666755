#include "ui/timer_driver.h"

#include <algorithm>
#include <limits>

#include "base/timers.h"

namespace velmora {

QtTimerDriver::QtTimerDriver(TimerHub& hub) : hub_(hub) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    hub_.FireDue();
    Rearm();
  });
  hub_.onScheduleChanged = [this] { Rearm(); };
  Rearm();
}

QtTimerDriver::~QtTimerDriver() { hub_.onScheduleChanged = nullptr; }

void QtTimerDriver::Rearm() {
  const auto next = hub_.NextDeadline();
  if (!next) {
    timer_.stop();
    return;
  }
  const int64_t wait = *next - hub_.clock().NowMs();
  timer_.start(static_cast<int>(std::clamp<int64_t>(wait, 0, std::numeric_limits<int>::max())));
}

}  // namespace velmora
