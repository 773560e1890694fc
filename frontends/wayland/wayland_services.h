// Wayland: the screen-saver calls of a run under a Wayland compositor and
// the end of the process; the rest of the runtime services are the POSIX
// ones (frontends/posix/posix_services.h).
#pragma once

#include <string>

#include "core/ports/process.h"
#include "core/ports/saver_system.h"
#include "frontends/posix/posix_services.h"
#include "frontends/wayland/connection.h"

namespace sarvel::wayland {

// The system around a run, on Wayland:
//   the idle daemon that started us decides when a saver runs, so the
//     activation and the running state are only remembered;
//   the cursor is hidden over our full-screen surfaces;
//   a preview goes into an X11 host's window, never here: there is no host
//     to measure or embed in;
//   the overlay layer keeps our surfaces above all others already;
//   there is no password of the saver's own: the session's locker owns it;
//   the system is described by uname's release numbers.
class WaylandSystem : public SaverSystem {
 public:
  explicit WaylandSystem(Connection* connection) : connection_(connection) {}

  void SetScreenSaverActive(bool active) override { active_ = active; }
  void SetSaverRunning(bool running) override { running_ = running; }
  void SetCursorHidden(bool hidden) override;
  PixelSize PreviewHostSize(WindowHandle) override { return {}; }
  void EmbedInPreviewHost(WindowHandle, WindowHandle) override {}
  void ShowInPreviewHost(WindowHandle, int32_t, int32_t) override {}
  bool KeepOnTop(WindowHandle, bool, bool) override { return true; }
  bool SaverHasOwnPassword() override { return false; }
  void ChangeSaverPassword(WindowHandle) override {}
  bool VerifySaverPassword(WindowHandle) override { return true; }
  SystemDescription DescribeSystem() override { return DescribeThisLinux(); }

 private:
  Connection* connection_;  // null for the dialogs, which GTK connects
  bool active_ = true;
  bool running_ = false;
};

// The end of the process, and the single-instance lock that the X11 front
// end holds too: one saver at a time, whichever window system it is on.
class WaylandProcess : public Process {
 public:
  explicit WaylandProcess(const std::string& executable_path)
      : lock_(InstanceLockPath(executable_path)) {}
  bool AnotherInstanceRunning() override { return lock_.another_was_running(); }
  [[noreturn]] void EndProgram() override;
  [[noreturn]] void FatalError(const std::string& message) override;
  // The core protocol has no bell.
  void Beep() override {}
  // We never change the pointer's shape, so there is nothing to reset.
  void ResetMousePointer() override {}

 private:
  InstanceLock lock_;
};

}  // namespace sarvel::wayland
