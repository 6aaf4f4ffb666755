#pragma once
// Event-loop timers with the semantics stories rely on: a timer fires every Interval
// milliseconds while enabled; an interval of 0 never fires; the countdown restarts when
// the timer is switched on from off or its interval changes while on, and keeps running
// when it is switched on again or given the interval it already has.
//
// The same objects serve every front end: the hub only knows deadlines on a Clock, and
// the front end calls FireDue when the earliest one is reached (a QTimer in the windows,
// the virtual clock in replays).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"

namespace velmora {

class TimerHub;

class Timer {
 public:
  Timer(TimerHub& hub, std::string name, std::function<void()> onTimer);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetInterval(uint32_t ms);
  void SetEnabled(bool on);
  uint32_t Interval() const { return interval_; }
  bool Enabled() const { return enabled_; }
  const std::string& Name() const { return name_; }
  // Milliseconds until the next firing, or nullopt when it cannot fire.
  std::optional<int64_t> Deadline() const;
  // The countdown's rest in milliseconds (meaningful while enabled), and putting a timer
  // back as it was: a restored game goes on with the time its timers had left.
  int64_t TimeLeft() const;
  void Restore(uint32_t interval, bool enabled, int64_t timeLeft);
  // The player's time to read: the wall-clock wait is the interval times this factor (at
  // least 1). Only the wait changes, never what the timer does; the time left that
  // TimeLeft reports and Restore takes is in the game's own milliseconds, so saves do
  // not depend on it. Replays never stretch.
  void SetStretch(int factor);
  int Stretch() const { return stretch_; }
  // Real milliseconds until the next firing (0 when due or off), for a countdown.
  int64_t WaitLeft() const;

 private:
  friend class TimerHub;
  void Restart();
  TimerHub& hub_;
  std::string name_;
  std::function<void()> onTimer_;
  uint32_t interval_ = 0;
  bool enabled_ = false;
  int64_t Wait() const { return int64_t{interval_} * stretch_; }
  int64_t deadline_ = 0;
  int stretch_ = 1;
};

class TimerHub {
 public:
  explicit TimerHub(Clock& clock) : clock_(clock) {}
  Clock& clock() { return clock_; }

  // The earliest deadline among timers that can fire.
  std::optional<int64_t> NextDeadline() const;
  // Fires every timer whose deadline is at or before the clock's now, earliest first
  // (ties in creation order). A timer is re-armed before its handler runs, so a handler
  // that opens a modal box cannot make it fire again at once.
  void FireDue();
  // Fires the single earliest due timer; false when none is due.
  bool FireOne();

  // Front ends re-arm their wake-up when the schedule changes.
  std::function<void()> onScheduleChanged;

 private:
  friend class Timer;
  void Add(Timer* t) { timers_.push_back(t); }
  void Remove(Timer* t);
  void Changed() {
    if (onScheduleChanged) onScheduleChanged();
  }
  Clock& clock_;
  std::vector<Timer*> timers_;
};

}  // namespace velmora
