// GNOME: the rules of the idle watcher (`sarvel --idle MINUTES`). GNOME offers
// its clients no idle protocol of the window system; its compositor tells the
// idle time on the session bus instead. The watcher starts the saver after
// the idle time, never a second one while one runs, and then waits for the
// user's next input before it counts the idle time again, so a saver that
// ends at once is not started over and over. The bus and the saver's process
// are behind the two interfaces below (gnome_idle.h fills them).
#pragma once

#include <cstdint>

namespace sarvel::gnome {

// What the watcher needs of the session's idle monitor. Watch ids are never
// 0; 0 means the monitor refused the watch.
class IdleMonitor {
 public:
  virtual ~IdleMonitor() = default;
  // Fires when the user has been idle for `interval_ms`.
  virtual uint32_t AddIdleWatch(uint64_t interval_ms) = 0;
  // Fires once, at the user's next input, and is gone then.
  virtual uint32_t AddUserActiveWatch() = 0;
  virtual void RemoveWatch(uint32_t id) = 0;
};

// The saver, a process of its own.
class SaverProcess {
 public:
  virtual ~SaverProcess() = default;
  // False when no run could be started.
  virtual bool Start() = 0;
  virtual bool Running() const = 0;
  // Ends the run, if one is going.
  virtual void Stop() = 0;
};

class IdleWatch {
 public:
  IdleWatch(IdleMonitor& monitor, SaverProcess& saver, uint64_t idle_ms);
  IdleWatch(const IdleWatch&) = delete;
  IdleWatch& operator=(const IdleWatch&) = delete;

  // Starts counting; false when the monitor refused the watch.
  bool Begin();
  // A watch fired: ours, or another client's, which is none of our
  // business. False when the monitor refused the watch that comes next.
  bool OnWatchFired(uint32_t id);
  // Watching ends: the watches go, and so does a running saver.
  void End();

 private:
  IdleMonitor& monitor_;
  SaverProcess& saver_;
  uint64_t idle_ms_;
  uint32_t idle_watch_ = 0;
  uint32_t active_watch_ = 0;
};

}  // namespace sarvel::gnome
