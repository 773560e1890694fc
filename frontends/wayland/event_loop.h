// Wayland: the program's one event loop. It waits on the compositor's
// connection, on descriptors of its users and on the signals that end the
// process (SIGTERM, SIGINT, SIGHUP), runs the events' handlers and the
// timers (the scene's frame timer) on the same thread, so that a tick never
// comes inside another handler, and ends at once when the connection is lost.
#pragma once

#include <functional>
#include <vector>

#include "frontends/posix/timer_list.h"
#include "frontends/wayland/connection.h"

namespace sarvel::wayland {

class EventLoop {
 public:
  using Clock = TimerList::Clock;
  using Now = TimerList::Now;
  using Timer = TimerList::Timer;

  // Installs the handlers of SIGTERM, SIGINT and SIGHUP until it goes.
  explicit EventLoop(Connection& connection, Now now = Clock::now);
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // The timer lives until RemoveTimer; it starts disabled.
  Timer* AddTimer(std::function<void()> tick) { return timers_.Add(std::move(tick)); }
  void RemoveTimer(Timer* timer) { timers_.Remove(timer); }
  // `readable` runs whenever `fd` has something to read (or was closed).
  void WatchFd(int fd, std::function<void()> readable);
  void UnwatchFd(int fd);

  // Runs until Quit or until the connection is lost; false for the latter
  // (the connection's failure() says why). `between` runs after every batch
  // of events and ticks, when no handler of ours is running.
  bool Run(const std::function<void()>& between = [] {});
  void Quit() { running_ = false; }
  // What a signal that ends the process does; by default Quit.
  void set_on_terminate(std::function<void()> f) { on_terminate_ = std::move(f); }

 private:
  struct Watch {
    int fd;
    std::function<void()> readable;
  };
  // Waits for the compositor, the watched descriptors, a signal or the next
  // timer; false when the connection is lost.
  bool Wait();

  Connection& connection_;
  TimerList timers_;
  std::vector<Watch> watches_;
  std::function<void()> on_terminate_;
  bool running_ = false;
};

}  // namespace sarvel::wayland
