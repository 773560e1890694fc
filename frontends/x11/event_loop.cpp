// X11: the event loop over poll(2), with a self-pipe for the signals.
#include "frontends/x11/event_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

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

EventLoop::EventLoop(Display& display, Now now) : display_(display), timers_(std::move(now)) {
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

void EventLoop::DispatchEvents() {
  ::Display* x = display_.xdisplay();
  while (running_ && XPending(x) > 0) {
    XEvent event;
    XNextEvent(x, &event);
    display_.Dispatch(event);
  }
}

void EventLoop::Run(const std::function<void()>& between) {
  running_ = true;
  ::Display* x = display_.xdisplay();
  const int xfd = ConnectionNumber(x);
  while (running_) {
    DispatchEvents();
    between();
    if (!running_) break;
    timers_.FireDue(running_);
    between();
    if (!running_) break;
    // Replies read during the ticks may have queued events.
    if (XPending(x) > 0) continue;
    pollfd fds[2] = {{xfd, POLLIN, 0}, {g_signal_pipe[0], POLLIN, 0}};
    const int n = ::poll(fds, g_signal_pipe[0] >= 0 ? 2 : 1, timers_.MillisecondsToNext());
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
