// X11: the screen-saver and window calls mapped onto X11 and the end of the
// process; the rest of the runtime services are the POSIX ones
// (frontends/posix/posix_services.h).
#pragma once

#include <string>

#include "core/ports/process.h"
#include "core/ports/saver_system.h"
#include "frontends/posix/posix_services.h"
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
