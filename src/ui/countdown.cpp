#include "ui/countdown.h"

#include <algorithm>

#include "base/game.h"

namespace velmora {

Countdown::Countdown(Game& game, QWidget* picture) : QLabel(picture), game_(game) {
  setObjectName(QStringLiteral("Countdown"));
  setAccessibleName(tr("Time left"));
  setStyleSheet(QStringLiteral("background: rgba(0, 0, 0, 170); color: #ffffff; padding: 2px 6px;"));
  hide();
  tick_.setInterval(250);
  connect(&tick_, &QTimer::timeout, this, &Countdown::Tick);
}

void Countdown::SetEnabled(bool on) {
  on_ = on;
  if (on) {
    tick_.start();
    Tick();
  } else {
    tick_.stop();
    hide();
  }
}

void Countdown::Tick() {
  // The sooner of the two page timers: what happens first to the page.
  int64_t left = 0;
  for (const Timer* timer : {&game_.pageActionTimer, &game_.answerTimer}) {
    const int64_t wait = timer->WaitLeft();
    if (wait > 0) left = left > 0 ? std::min(left, wait) : wait;
  }
  if (!on_ || left <= 0) {
    hide();
    return;
  }
  setText(tr("%n s", nullptr, static_cast<int>((left + 999) / 1000)));
  adjustSize();
  move(parentWidget()->width() - width() - 8, 8);
  show();
  raise();
}

}  // namespace velmora
