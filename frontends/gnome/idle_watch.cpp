// GNOME: the idle watcher's rules.
#include "frontends/gnome/idle_watch.h"

namespace sarvel::gnome {

IdleWatch::IdleWatch(IdleMonitor& monitor, SaverProcess& saver, uint64_t idle_ms)
    : monitor_(monitor), saver_(saver), idle_ms_(idle_ms) {}

bool IdleWatch::Begin() {
  idle_watch_ = monitor_.AddIdleWatch(idle_ms_);
  return idle_watch_ != 0;
}

bool IdleWatch::OnWatchFired(uint32_t id) {
  if (id == 0) return true;
  if (id == idle_watch_) {
    monitor_.RemoveWatch(idle_watch_);
    idle_watch_ = 0;
    if (!saver_.Running()) saver_.Start();
    active_watch_ = monitor_.AddUserActiveWatch();
    return active_watch_ != 0;
  }
  if (id == active_watch_) {
    active_watch_ = 0;
    return Begin();
  }
  return true;
}

void IdleWatch::End() {
  if (idle_watch_ != 0) monitor_.RemoveWatch(idle_watch_);
  if (active_watch_ != 0) monitor_.RemoveWatch(active_watch_);
  idle_watch_ = active_watch_ = 0;
  saver_.Stop();
}

}  // namespace sarvel::gnome
