// Wayland: the event loop over poll(2), with a self-pipe for the signals.
#include "frontends/wayland/event_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>

namespace sarvel::wayland {
namespace {

int g_signal_pipe[2] = {-1, -1};
constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_signal_pipe[1], &byte, 1);
  errno = saved;
}

void SetSignalHandler(void (*handler)(int)) {
  struct sigaction sa {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int sig : kEndSignals) sigaction(sig, &sa, nullptr);
}

}  // namespace

EventLoop::EventLoop(Connection& connection, Now now)
    : connection_(connection), timers_(std::move(now)), on_terminate_([this] { Quit(); }) {
  if (g_signal_pipe[0] < 0 && ::pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    g_signal_pipe[0] = g_signal_pipe[1] = -1;
  }
  if (g_signal_pipe[0] >= 0) SetSignalHandler(OnSignal);
}

EventLoop::~EventLoop() { SetSignalHandler(SIG_DFL); }

void EventLoop::WatchFd(int fd, std::function<void()> readable) {
  UnwatchFd(fd);
  watches_.push_back({fd, std::move(readable)});
}

void EventLoop::UnwatchFd(int fd) {
  std::erase_if(watches_, [fd](const Watch& w) { return w.fd == fd; });
}

bool EventLoop::Wait() {
  wl_display* display = connection_.display();
  // Events already read wait in the queue: they go first.
  if (wl_display_prepare_read(display) != 0) return true;
  bool would_block = false;
  if (!connection_.Flush(would_block)) {
    wl_display_cancel_read(display);
    return false;
  }
  std::vector<pollfd> fds = {
      {wl_display_get_fd(display), short(POLLIN | (would_block ? POLLOUT : 0)), 0},
      {g_signal_pipe[0], POLLIN, 0}};
  for (const Watch& w : watches_) fds.push_back({w.fd, POLLIN, 0});
  const int n = ::poll(fds.data(), fds.size(), timers_.MillisecondsToNext());
  if (n > 0 && (fds[0].revents & (POLLIN | POLLERR | POLLHUP))) {
    if (wl_display_read_events(display) < 0) return connection_.CheckError();
  } else {
    wl_display_cancel_read(display);
  }
  if (n <= 0) return true;
  if (fds[1].revents & POLLIN) {
    char buf[16];
    while (::read(g_signal_pipe[0], buf, sizeof buf) > 0) {
    }
    if (on_terminate_) on_terminate_();
  }
  // A handler may change the watches: the ready ones are looked up anew.
  for (size_t i = 2; i < fds.size() && running_; ++i) {
    if (!(fds[i].revents & (POLLIN | POLLERR | POLLHUP))) continue;
    const int fd = fds[i].fd;
    auto it =
        std::find_if(watches_.begin(), watches_.end(), [fd](const Watch& w) { return w.fd == fd; });
    if (it != watches_.end()) {
      const auto readable = it->readable;
      readable();
    }
  }
  return true;
}

bool EventLoop::Run(const std::function<void()>& between) {
  running_ = true;
  while (running_) {
    if (!connection_.DispatchPending()) break;
    between();
    if (!running_) break;
    timers_.FireDue(running_);
    between();
    if (!running_) break;
    if (!Wait()) break;
  }
  running_ = false;
  return connection_.ok();
}

}  // namespace sarvel::wayland
