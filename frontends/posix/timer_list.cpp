#include "frontends/posix/timer_list.h"

#include <algorithm>

namespace sarvel {

void TimerList::Timer::SetInterval(int32_t milliseconds) {
  interval_ms_ = std::max<int32_t>(1, milliseconds);
  if (enabled_) due_ = now_() + std::chrono::milliseconds(interval_ms_);
}

void TimerList::Timer::Enable(bool enabled) {
  if (enabled && !enabled_) due_ = now_() + std::chrono::milliseconds(interval_ms_);
  enabled_ = enabled;
}

TimerList::Timer* TimerList::Add(std::function<void()> tick) {
  timers_.push_back(std::unique_ptr<Timer>(new Timer(std::move(tick), now_)));
  return timers_.back().get();
}

void TimerList::Remove(Timer* timer) {
  if (!timer) return;
  timer->enabled_ = false;
  timer->removed_ = true;
  // While ticks are running the list stays as it is; it is swept afterwards.
  if (!firing_) std::erase_if(timers_, [](const auto& t) { return t->removed_; });
}

void TimerList::FireDue(const bool& going_on) {
  firing_ = true;
  // Index loop: a tick may add timers.
  for (size_t i = 0; i < timers_.size() && going_on; ++i) {
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

int TimerList::MillisecondsToNext() const {
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

}  // namespace sarvel
