// X11: the runtime services of the core on a POSIX system with an X display:
// the screen-saver and window calls mapped onto X11, the user's locale for
// regional formats, the monotonic clock, the executable's identity and the
// folder its error log goes to, the single-instance lock and the end of the
// process.
#pragma once

#include <locale.h>

#include <string>

#include "core/ports/clock.h"
#include "core/ports/executable_info.h"
#include "core/ports/process.h"
#include "core/ports/regional.h"
#include "core/ports/saver_system.h"
#include "frontends/x11/x11_display.h"

namespace sarvel::x11 {

// The system around a run, done with X:
//   the screen saver's activation holds the server's own screen saver off or
//     lets it run again;
//   the running state is remembered only: X has no such state, the scene's
//     keyboard and pointer grabs do that job;
//   the hidden cursor is an invisible one over the full-screen scene;
//   the preview's host is an X window: its size, XReparentWindow into it,
//     then move, resize and map; staying on top raises the window;
//   there is no password of the saver's own: the session's locker owns it;
//   the system is described by uname's release numbers.
// `hosted`: the scene draws into another program's window (a screen-saver
// daemon's); that program looks after blanking and the stacking of its
// window, so those calls change nothing.
class X11System : public SaverSystem {
 public:
  X11System(Display& display, bool hosted) : display_(display), hosted_(hosted) {}

  void SetScreenSaverActive(bool active) override;
  void SetSaverRunning(bool running) override;
  void SetCursorHidden(bool hidden) override;
  PixelSize PreviewHostSize(WindowHandle host) override;
  void EmbedInPreviewHost(WindowHandle window, WindowHandle host) override;
  void ShowInPreviewHost(WindowHandle window, int32_t width, int32_t height) override;
  bool KeepOnTop(WindowHandle window, bool on_top, bool activate) override;
  bool SaverHasOwnPassword() override { return false; }
  void ChangeSaverPassword(WindowHandle) override {}
  bool VerifySaverPassword(WindowHandle) override { return true; }
  SystemDescription DescribeSystem() override;

  bool screensaver_running() const { return running_; }

 private:
  Display& display_;
  bool hosted_;
  bool running_ = false;
};

// uname's release "6.1.0-18-amd64" as Linux 6.1, build 0, with the whole
// release text as the details.
SystemDescription LinuxDescription(const char* release);

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
class X11Executable : public ExecutableInfo {
 public:
  X11Executable();
  explicit X11Executable(std::string full_path) : path_(std::move(full_path)) {}
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

class X11Process : public Process {
 public:
  // `hosted`: a daemon starts and stops us; no start is refused.
  X11Process(Display& display, const std::string& executable_path, bool hosted);
  bool AnotherInstanceRunning() override { return !hosted_ && lock_.another_was_running(); }
  [[noreturn]] void EndProgram() override;
  [[noreturn]] void FatalError(const std::string& message) override;
  void Beep() override;
  // We never change the pointer's shape, so there is nothing to reset.
  void ResetMousePointer() override {}

 private:
  Display& display_;
  InstanceLock lock_;
  bool hosted_;
};

}  // namespace sarvel::x11
