// X11: the scene form's window, in three kinds.
//   full screen: an override-redirect window over the whole screen, black,
//     raised and kept on top, with the keyboard and pointer grabbed and an
//     invisible cursor while the run hides the cursor; every key,
//     button and pointer movement goes to the scene's input handlers;
//   windowed: an ordinary decorated, resizable window; it takes no input and
//     ends when it is closed;
//   hosted: another program's window (a screen-saver daemon's, or the root
//     window); we only draw, select no input there and follow its size.
// A full-screen run covers every monitor: the first window the primary one,
// siblings the others; only the first grabs the input and follows the
// screen's changes. Sizes are in device pixels; the device scale is the
// -scale option's, else Xft.dpi / 96. The scene's twips are per logical
// pixel, whatever the scale: the host's 15 stands.
// In every kind the persistent image is a renderer surface put on the screen
// by the presenter; each size change runs the layout; the desktop is read
// from the screen under the window, or in a host's window from the picture
// a screen-saver daemon took before it covered the screen, else from the
// desktop's published wallpaper; the frame timer runs on the event loop.
#pragma once

#include <chrono>
#include <memory>
#include <span>
#include <vector>

#include "core/ports/process.h"
#include "core/ports/scene_view.h"
#include "frontends/posix/ft_font.h"
#include "frontends/x11/event_loop.h"
#include "frontends/x11/presenter.h"
#include "frontends/x11/x11_display.h"

namespace sarvel::x11 {

struct SceneWindowOptions {
  enum class Kind { kFullScreen, kWindowed, kHosted };
  Kind kind = Kind::kFullScreen;
  int width = 1024;  // kWindowed
  int height = 640;
  Window target = None;  // kHosted
  bool sibling = false;  // kFullScreen: a further monitor's window
  double scale = 0;      // device pixels per 96-DPI pixel; 0: from Xft.dpi
};

class SceneWindowX11 : public SceneView, private WindowClient {
 public:
  SceneWindowX11(Display& display, EventLoop& loop, Process& process, SceneWindowOptions options);
  ~SceneWindowX11() override;

  // FormView
  void Create() override;
  WindowHandle handle() const override;
  void Show(ShowMode mode) override;
  void Destroy() override;

  // SceneHost
  void Maximize() override;
  void SetTimerInterval(int32_t milliseconds) override;
  void EnableTimer(bool enabled) override;
  void CaptureDesktop(gfx::Surface& into, int w, int h) override;
  gfx::Surface& WindowImage() override;
  void Refresh() override;
  void RefreshRects(std::span<const gfx::Rect> rects) override;
  bool Visible() override;
  double DeviceScale() override;
  const gfx::Font& SceneFont() override;

  // SceneView
  void SetEvents(SceneEvents* events) override;
  std::vector<gfx::Rect> Monitors() override;
  void SetMonitor(const gfx::Rect& monitor) override;
  std::unique_ptr<SceneView> CreateSibling() override;
  void StayOnTop() override;

 private:
  using Kind = SceneWindowOptions::Kind;
  using Clock = std::chrono::steady_clock;

  // WindowClient
  void HandleEvent(XEvent& event) override;
  void OnTerminateRequest() override;
  void OnCursorChanged(bool hidden) override;

  void Deliver(auto&& fn);
  void OnTick();
  // A new client size: the image follows and the layout runs.
  void ApplySize(int width, int height);
  void TakeInput();
  // Tells the scene where the pointer is, in this window's pixels, when it
  // lies over the window, or `anywhere` on the screen.
  void ReportPointer(bool anywhere);
  void DeliverPointer(int root_x, int root_y);
  void KeepOnTop();

  Display& display_;
  EventLoop& loop_;
  Process& process_;
  SceneWindowOptions options_;
  SceneEvents* events_ = nullptr;
  gfx::Rect monitor_;
  bool has_monitor_ = false;
  bool watching_screen_ = false;
  Window window_ = None;
  bool own_window_ = false;
  gfx::Surface image_;
  std::unique_ptr<Presenter> presenter_;
  EventLoop::Timer* timer_ = nullptr;
  int32_t interval_ = 15;
  bool mapped_ = false;
  int visibility_ = VisibilityUnobscured;
  bool grabbed_keyboard_ = false;
  bool grabbed_pointer_ = false;
  int grab_attempts_left_ = 0;
  Clock::time_point last_raise_{};
  std::unique_ptr<FtFont> font_;
  bool font_looked_up_ = false;
};

}  // namespace sarvel::x11
