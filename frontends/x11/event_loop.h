// X11: the program's one event loop. It waits on the X connection and on the
// signals that end the process, routes events to our windows, and runs the
// timers (the scene's frame timer, the preview's parent watch) on the same
// thread, so a tick is never delivered inside another handler.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ports/process.h"
#include "core/report/guard.h"
#include "frontends/x11/x11_display.h"

namespace sarvel::x11 {

class EventLoop {
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
    friend class EventLoop;
    Timer(std::function<void()> tick, const Now& now) : tick_(std::move(tick)), now_(now) {}
    std::function<void()> tick_;
    const Now& now_;
    int32_t interval_ms_ = 1000;
    bool enabled_ = false;
    bool removed_ = false;
    Clock::time_point due_{};
  };

  // Installs the handlers of SIGTERM, SIGINT and SIGHUP.
  explicit EventLoop(Display& display, Now now = Clock::now);
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // The timer lives until RemoveTimer; it starts disabled.
  Timer* AddTimer(std::function<void()> tick);
  void RemoveTimer(Timer* timer);

  // Runs until Quit; `between` runs after every batch of events and ticks,
  // when no handler of ours is running.
  void Run(const std::function<void()>& between);
  void Quit() { running_ = false; }
  // What a signal that ends the process does.
  void set_on_terminate(std::function<void()> f) { on_terminate_ = std::move(f); }

 private:
  void DispatchEvents();
  void FireDueTimers();
  int MillisecondsToNextTimer() const;

  Display& display_;
  const Now now_;
  std::vector<std::unique_ptr<Timer>> timers_;
  std::function<void()> on_terminate_;
  bool running_ = false;
  bool firing_ = false;
};

// Every event runs inside the outermost guard, whose fatal message names
// the program as it is called on the command line.
inline constexpr std::string_view kFatalMessageProgram = "sarvel";

template <class Fn>
void Guarded(Process& process, Fn&& fn) {
  sarvel::Guarded(process, kFatalMessageProgram, std::forward<Fn>(fn));
}

}  // namespace sarvel::x11
