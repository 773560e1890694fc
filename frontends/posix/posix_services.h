// POSIX: the runtime services that the native front ends share: the
// system's description from uname, the user's locale for regional formats,
// the monotonic clock, the executable's identity and the folder its error
// log goes to, and the single-instance lock.
#pragma once

#include <locale.h>

#include <string>

#include "core/ports/clock.h"
#include "core/ports/executable_info.h"
#include "core/ports/regional.h"
#include "core/ports/saver_system.h"

namespace sarvel {

// uname's release "6.1.0-18-amd64" as Linux 6.1, build 0, with the whole
// release text as the details.
SystemDescription LinuxDescription(const char* release);
// This system's, from uname.
SystemDescription DescribeThisLinux();

// Formats of the user's locale (LC_NUMERIC, LC_TIME, as LC_ALL, LC_* and
// LANG name them), read without touching the process's own locale, so that
// number formatting elsewhere stays as it is.
class LocaleRegional : public Regional {
 public:
  LocaleRegional() : LocaleRegional("") {}
  // A named locale; "" is the environment's. One that is not installed
  // falls back to "C".
  explicit LocaleRegional(const char* name);
  ~LocaleRegional() override;
  LocaleRegional(const LocaleRegional&) = delete;
  LocaleRegional& operator=(const LocaleRegional&) = delete;

  std::string DecimalSeparator() override;
  std::string ShortDate(const LocalTime& t) override;  // strftime %x
  std::string TimeOfDay(const LocalTime& t) override;  // strftime %X

 private:
  std::string Format(const char* format, const LocalTime& t);
  locale_t numeric_ = nullptr;
  locale_t time_ = nullptr;
};

class MonotonicClock : public Clock {
 public:
  uint32_t TickCount() override;  // CLOCK_MONOTONIC in milliseconds, wrapping
  LocalTime Now() override;
};

// The running program: /proc/self/exe, "Sarvel" 2.0.457. Its Folder() is
// where the error log goes: the executable's folder when we may write there,
// else the state folder, so that no report is lost.
class PosixExecutable : public ExecutableInfo {
 public:
  PosixExecutable();
  explicit PosixExecutable(std::string full_path) : path_(std::move(full_path)) {}
  std::string Folder() override;
  std::string FileTitle() override;
  // StateFolder(): the log goes there whenever it cannot be written beside
  // the program, whatever the cause.
  std::string FallbackLogFolder() override;
  std::string Title() override { return "Sarvel"; }
  Version FileVersion() override;
  const std::string& full_path() const { return path_; }

 private:
  std::string path_;
};

// $XDG_STATE_HOME/sarvel, else ~/.local/state/sarvel; created when missing.
std::string StateFolder();

// Marks this process as an instance of one executable for as long as it
// lives, and tells whether another instance already ran when it started.
// Every instance holds a shared flock on one lock file; a newcomer that
// cannot have it exclusively knows that others run. A second lock file
// makes the test and the registration one step for concurrent starts.
class InstanceLock {
 public:
  explicit InstanceLock(const std::string& lock_path);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  bool another_was_running() const { return another_; }

 private:
  int fd_ = -1;
  bool another_ = false;
};

// $XDG_RUNTIME_DIR/sarvel-<hash>.lock, else /tmp/sarvel-<uid>-<hash>.lock,
// the hash taken over the executable's path.
std::string InstanceLockPath(const std::string& executable_path);

}  // namespace sarvel
