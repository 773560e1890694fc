// Wayland: the scene form's window, one surface of the compositor's.
//   full screen: a layer-shell surface on the overlay layer over one output
//     (a full-screen xdg toplevel where the compositor has no layer shell);
//     the first window covers the primary output, siblings the others, and
//     each follows the output its monitor names; every key, button, wheel
//     turn and pointer movement goes to the scene's input handlers;
//   windowed: an xdg toplevel; it takes no input and ends when closed.
// The surface is made when the window is first sized, and the size waits for
// the compositor's configure, so the layout (and its desktop capture by
// screencopy) runs before anything of ours covers the output. The image is
// the surface's size in device pixels; a frame shows only once the window
// is shown, and is skipped while the compositor is not ready for it.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "core/ports/process.h"
#include "core/ports/scene_view.h"
#include "frontends/posix/ft_font.h"
#include "frontends/wayland/connection.h"
#include "frontends/wayland/event_loop.h"
#include "frontends/wayland/output_surface.h"
#include "frontends/wayland/screens.h"

namespace sarvel::wayland {

struct SceneWindowOptions {
  enum class Kind { kFullScreen, kWindowed };
  Kind kind = Kind::kFullScreen;
  int width = 1024;  // kWindowed, in logical pixels
  int height = 640;
  bool sibling = false;  // kFullScreen: a further output's window
};

class SceneWindowWayland : public SceneView,
                           private SurfaceListener,
                           private InputListener,
                           private ScreenClient {
 public:
  SceneWindowWayland(Connection& connection, EventLoop& loop, Screens& screens, Process& process,
                     SceneWindowOptions options);
  ~SceneWindowWayland() override;

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
  gfx::Surface& WindowImage() override { return image_; }
  void Refresh() override;
  void RefreshRects(std::span<const gfx::Rect> rects) override;
  bool Visible() override;
  double DeviceScale() override;
  const gfx::Font& SceneFont() override;

  // SceneView
  void SetEvents(SceneEvents* events) override { events_ = events; }
  std::vector<gfx::Rect> Monitors() override;
  void SetMonitor(const gfx::Rect& monitor) override;
  std::unique_ptr<SceneView> CreateSibling() override;

 private:
  using Kind = SceneWindowOptions::Kind;

  // SurfaceListener
  void OnConfigured(const SurfaceSize& size) override;
  void OnClosed() override;
  // InputListener
  void OnPointerEnter(int x, int y) override;
  void OnPointerMotion(int x, int y) override;
  void OnButton(uint32_t button, bool pressed) override;
  void OnWheel(uint32_t axis, double value) override;
  void OnKey(uint32_t key, bool pressed) override;
  // ScreenClient
  void OnOutputChanged(wl_output* output) override;
  void OnOutputGone(wl_output* output) override;
  void DeliverPending() override;
  void OnMonitorsChanged() override;

  void Deliver(auto&& fn);
  bool input() const { return options_.kind == Kind::kFullScreen; }
  // The output the monitor names, else the primary one; null when there is
  // no output.
  wl_output* WantedOutput() const;
  // A surface on the wanted output, configured; false when there is none.
  bool EnsureSurface();
  void DropSurface();
  // A new size in device pixels: the image follows and the layout runs.
  void ApplySize(int width, int height);
  void PresentAll();
  void Terminate();

  Connection& connection_;
  EventLoop& loop_;
  Screens& screens_;
  Process& process_;
  SceneWindowOptions options_;
  SceneEvents* events_ = nullptr;
  bool created_ = false;
  bool shown_ = false;
  gfx::Rect monitor_;
  bool has_monitor_ = false;
  std::unique_ptr<OutputSurface> surface_;
  bool closed_ = false;  // the window's toplevel was closed: the run ends
  gfx::Surface image_;
  EventLoop::Timer* timer_ = nullptr;
  int32_t interval_ = 15;
  double scale_ = 1.0;
  std::unique_ptr<FtFont> font_;
  double font_scale_ = 0;
};

}  // namespace sarvel::wayland
