// The timers of an event loop over poll(2): each ticks at its interval on
// the loop's own thread, and the loop asks how long it may wait.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace sarvel {

class TimerList {
 public:
  using Clock = std::chrono::steady_clock;
  // Where the timers read the time: the steady clock, or a test's own.
  using Now = std::function<Clock::time_point()>;

  class Timer {
   public:
    // A new interval starts counting now when the timer runs.
    void SetInterval(int32_t milliseconds);
    void Enable(bool enabled);
    bool enabled() const { return enabled_; }
    int32_t interval() const { return interval_ms_; }

   private:
    friend class TimerList;
    Timer(std::function<void()> tick, const Now& now) : tick_(std::move(tick)), now_(now) {}
    std::function<void()> tick_;
    const Now& now_;
    int32_t interval_ms_ = 1000;
    bool enabled_ = false;
    bool removed_ = false;
    Clock::time_point due_{};
  };

  explicit TimerList(Now now) : now_(std::move(now)) {}
  TimerList(const TimerList&) = delete;
  TimerList& operator=(const TimerList&) = delete;

  // The timer lives until Remove; it starts disabled.
  Timer* Add(std::function<void()> tick);
  void Remove(Timer* timer);
  // Runs the ticks that are due, as long as `going_on` stays true (a tick
  // may end the loop).
  void FireDue(const bool& going_on);
  // Until the next tick is due, at most a minute; -1 with no timer running.
  int MillisecondsToNext() const;

 private:
  const Now now_;
  std::vector<std::unique_ptr<Timer>> timers_;
  bool firing_ = false;
};

}  // namespace sarvel
