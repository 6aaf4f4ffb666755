#include "base/timers.h"

#include <algorithm>

namespace velmora {

Timer::Timer(TimerHub& hub, std::string name, std::function<void()> onTimer)
    : hub_(hub), name_(std::move(name)), onTimer_(std::move(onTimer)) {
  hub_.Add(this);
}

Timer::~Timer() { hub_.Remove(this); }

void Timer::Restart() { deadline_ = hub_.clock().NowMs() + Wait(); }

void Timer::SetInterval(uint32_t ms) {
  if (ms == interval_) return;
  interval_ = ms;
  if (enabled_) Restart();
  hub_.Changed();
}

void Timer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (on) Restart();
  hub_.Changed();
}

std::optional<int64_t> Timer::Deadline() const {
  if (!enabled_ || interval_ == 0) return std::nullopt;
  return deadline_;
}

int64_t Timer::TimeLeft() const { return enabled_ ? (deadline_ - hub_.clock().NowMs()) / stretch_ : 0; }

int64_t Timer::WaitLeft() const {
  if (!enabled_ || interval_ == 0) return 0;
  return std::max<int64_t>(0, deadline_ - hub_.clock().NowMs());
}

void Timer::Restore(uint32_t interval, bool enabled, int64_t timeLeft) {
  interval_ = interval;
  enabled_ = enabled;
  deadline_ = hub_.clock().NowMs() + timeLeft * stretch_;
  hub_.Changed();
}

void Timer::SetStretch(int factor) {
  factor = std::max(1, factor);
  if (factor == stretch_) return;
  // A countdown under way keeps the share of it that is left.
  const int64_t left = TimeLeft();
  stretch_ = factor;
  if (enabled_) deadline_ = hub_.clock().NowMs() + left * stretch_;
  hub_.Changed();
}

void TimerHub::Remove(Timer* t) { timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end()); }

std::optional<int64_t> TimerHub::NextDeadline() const {
  std::optional<int64_t> best;
  for (const Timer* t : timers_) {
    auto d = t->Deadline();
    if (d && (!best || *d < *best)) best = d;
  }
  return best;
}

bool TimerHub::FireOne() {
  const int64_t now = clock_.NowMs();
  Timer* due = nullptr;
  for (Timer* t : timers_) {
    auto d = t->Deadline();
    if (d && *d <= now && (!due || *d < due->deadline_)) due = t;
  }
  if (!due) return false;
  // Like a system timer, a late timer fires once, not once per missed interval.
  int64_t next = due->deadline_ + due->Wait();
  if (next <= now) next = now + due->Wait();
  due->deadline_ = next;
  Changed();
  if (due->onTimer_) due->onTimer_();
  return true;
}

void TimerHub::FireDue() {
  // Bounded so that timers re-armed to "now" by their own handlers cannot spin forever.
  for (size_t guard = 0; guard < 10000 && FireOne(); ++guard) {
  }
}

}  // namespace velmora
