// X11: the program's one event loop. It waits on the X connection and on the
// signals that end the process, routes events to our windows, and runs the
// timers (the scene's frame timer, the preview's parent watch) on the same
// thread, so a tick is never delivered inside another handler.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ports/process.h"
#include "core/report/guard.h"
#include "frontends/posix/timer_list.h"
#include "frontends/x11/x11_display.h"

namespace sarvel::x11 {

class EventLoop {
 public:
  using Clock = TimerList::Clock;
  using Now = TimerList::Now;
  using Timer = TimerList::Timer;

  // Installs the handlers of SIGTERM, SIGINT and SIGHUP.
  explicit EventLoop(Display& display, Now now = Clock::now);
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // The timer lives until RemoveTimer; it starts disabled.
  Timer* AddTimer(std::function<void()> tick) { return timers_.Add(std::move(tick)); }
  void RemoveTimer(Timer* timer) { timers_.Remove(timer); }

  // Runs until Quit; `between` runs after every batch of events and ticks,
  // when no handler of ours is running.
  void Run(const std::function<void()>& between);
  void Quit() { running_ = false; }
  // What a signal that ends the process does.
  void set_on_terminate(std::function<void()> f) { on_terminate_ = std::move(f); }

 private:
  void DispatchEvents();

  Display& display_;
  TimerList timers_;
  std::function<void()> on_terminate_;
  bool running_ = false;
};

// Every event runs inside the outermost guard, whose fatal message names
// the program as it is called on the command line.
inline constexpr std::string_view kFatalMessageProgram = "sarvel";

template <class Fn>
void Guarded(Process& process, Fn&& fn) {
  sarvel::Guarded(process, kFatalMessageProgram, std::forward<Fn>(fn));
}

}  // namespace sarvel::x11
