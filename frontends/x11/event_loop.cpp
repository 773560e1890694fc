// X11: the event loop over poll(2), with a self-pipe for the signals.
#include "frontends/x11/event_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace sarvel::x11 {
namespace {

int g_signal_pipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_signal_pipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

void EventLoop::Timer::SetInterval(int32_t milliseconds) {
  interval_ms_ = std::max<int32_t>(1, milliseconds);
  if (enabled_) due_ = now_() + std::chrono::milliseconds(interval_ms_);
}

void EventLoop::Timer::Enable(bool enabled) {
  if (enabled && !enabled_) due_ = now_() + std::chrono::milliseconds(interval_ms_);
  enabled_ = enabled;
}

EventLoop::EventLoop(Display& display, Now now) : display_(display), now_(std::move(now)) {
  if (g_signal_pipe[0] < 0 && ::pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    g_signal_pipe[0] = g_signal_pipe[1] = -1;
  }
  if (g_signal_pipe[0] >= 0) {
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
  }
}

EventLoop::~EventLoop() {
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  sigemptyset(&sa.sa_mask);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
}

EventLoop::Timer* EventLoop::AddTimer(std::function<void()> tick) {
  timers_.push_back(std::unique_ptr<Timer>(new Timer(std::move(tick), now_)));
  return timers_.back().get();
}

void EventLoop::RemoveTimer(Timer* timer) {
  if (!timer) return;
  timer->enabled_ = false;
  timer->removed_ = true;
  // While ticks are running the list stays as it is; it is swept afterwards.
  if (!firing_) std::erase_if(timers_, [](const auto& t) { return t->removed_; });
}

void EventLoop::DispatchEvents() {
  ::Display* x = display_.xdisplay();
  while (running_ && XPending(x) > 0) {
    XEvent event;
    XNextEvent(x, &event);
    display_.Dispatch(event);
  }
}

void EventLoop::FireDueTimers() {
  firing_ = true;
  // Index loop: a tick may add timers.
  for (size_t i = 0; i < timers_.size() && running_; ++i) {
    Timer* t = timers_[i].get();
    if (!t->enabled_ || t->removed_ || now_() < t->due_) continue;
    t->tick_();
    if (!t->enabled_ || t->removed_) continue;
    // The next tick keeps the cadence; a tick that ran late is followed by
    // the next one at once, never by a burst of missed ones.
    const Clock::time_point now = now_();
    t->due_ += std::chrono::milliseconds(t->interval_ms_);
    if (t->due_ < now) t->due_ = now;
  }
  firing_ = false;
  std::erase_if(timers_, [](const auto& t) { return t->removed_; });
}

int EventLoop::MillisecondsToNextTimer() const {
  const Clock::time_point now = now_();
  int64_t best = -1;
  for (const auto& t : timers_) {
    if (!t->enabled_ || t->removed_) continue;
    const int64_t us = std::chrono::duration_cast<std::chrono::microseconds>(t->due_ - now).count();
    const int64_t ms = us <= 0 ? 0 : (us + 999) / 1000;
    if (best < 0 || ms < best) best = ms;
  }
  return int(std::min<int64_t>(best, 60000));
}

void EventLoop::Run(const std::function<void()>& between) {
  running_ = true;
  ::Display* x = display_.xdisplay();
  const int xfd = ConnectionNumber(x);
  while (running_) {
    DispatchEvents();
    between();
    if (!running_) break;
    FireDueTimers();
    between();
    if (!running_) break;
    // Replies read during the ticks may have queued events.
    if (XPending(x) > 0) continue;
    pollfd fds[2] = {{xfd, POLLIN, 0}, {g_signal_pipe[0], POLLIN, 0}};
    const int n = ::poll(fds, g_signal_pipe[0] >= 0 ? 2 : 1, MillisecondsToNextTimer());
    if (n > 0 && (fds[1].revents & POLLIN)) {
      char buf[16];
      while (::read(g_signal_pipe[0], buf, sizeof buf) > 0) {
      }
      if (on_terminate_) on_terminate_();
      between();
    }
  }
}

}  // namespace sarvel::x11
