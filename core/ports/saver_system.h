// What the program asks of the system around a run: the screen-saver state,
// the cursor, the preview's place in the window that hosts it, staying on
// top, the saver's own password and a description of the system for the
// error protocol. The start-up module and the end of a run make one call per
// numbered step, so a failing call is reported at its own line.
#pragma once

#include <cstdint>
#include <string>

#include "core/ports/window_handle.h"

namespace sarvel {

struct PixelSize {
  int32_t width = 0;
  int32_t height = 0;
};

// The system as the error protocol describes it.
struct SystemDescription {
  std::string platform;  // "Windows NT", "Linux"; empty when unknown
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  std::string details;  // a service pack, a kernel release
};

class SaverSystem {
 public:
  virtual ~SaverSystem() = default;
  // Whether the system may start a screen saver when the user is idle.
  virtual void SetScreenSaverActive(bool active) = 0;
  // Tells the system that a screen saver runs now, or no longer runs.
  virtual void SetSaverRunning(bool running) = 0;
  // Hides the mouse cursor over the program's windows for a run, or shows
  // it again.
  virtual void SetCursorHidden(bool hidden) = 0;
  // The client area of the window that hosts a preview; 0 x 0 when `host`
  // names no window.
  virtual PixelSize PreviewHostSize(WindowHandle host) = 0;
  // Makes `window` a part of the host's window, owned by it, so that it
  // lives and goes with the host.
  virtual void EmbedInPreviewHost(WindowHandle window, WindowHandle host) = 0;
  // Shows the embedded `window` at the top-left corner of its host,
  // `width` x `height`, without activating it.
  virtual void ShowInPreviewHost(WindowHandle window, int32_t width, int32_t height) = 0;
  // Keeps `window` above all others, or lets it go back among them, and
  // activates it when asked to. False when the system refused.
  virtual bool KeepOnTop(WindowHandle window, bool on_top, bool activate) = 0;
  // Whether the screen saver keeps a password of its own, which the system
  // checks before a run ends and offers to change; where it does not, the
  // session's locker owns the password and the calls below are not made.
  virtual bool SaverHasOwnPassword() = 0;
  // The system's dialog that changes the saver password, owned by `owner`.
  virtual void ChangeSaverPassword(WindowHandle owner) = 0;
  // Asks for the saver password before a run ends; true when it passed.
  virtual bool VerifySaverPassword(WindowHandle window) = 0;
  virtual SystemDescription DescribeSystem() = 0;
};

}  // namespace sarvel
