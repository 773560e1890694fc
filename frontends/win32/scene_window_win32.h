// Win32: the scene form's window. A borderless popup covering a monitor (the
// primary one; siblings of it cover the others), black, without a cursor; its persistent image is a
// surface painted on WM_PAINT and part by part as frames change it; the frame timer, the one-time
// desktop capture, whether anyone can see it (monitor power, minimized, hidden) and every input
// message that ends the run. It is per-monitor DPI aware: sizes are device pixels, and the scene
// font follows the monitor's DPI.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "core/gfx/rect_merge.h"
#include "core/ports/process.h"
#include "core/ports/scene_view.h"
#include "frontends/win32/gdi_font.h"
#include "frontends/win32/window_base.h"

namespace sarvel::win32 {

// Draws these parts of a surface to the same places of a device context,
// one call each.
void PaintParts(HDC dc, const gfx::Surface& s, std::span<const gfx::Rect> parts);

class SceneWindowWin32 : public SceneView, private WindowBase {
 public:
  explicit SceneWindowWin32(Process& process, bool sibling = false)
      : process_(process), sibling_(sibling) {}
  ~SceneWindowWin32() override;

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
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Deliver(auto&& fn);

  Process& process_;
  bool sibling_;
  SceneEvents* events_ = nullptr;
  gfx::Rect monitor_;
  bool has_monitor_ = false;
  gfx::Surface image_;
  UINT interval_ = 15;
  bool timer_on_ = false;
  std::unique_ptr<GdiFont> gdi_font_;
  bool font_looked_up_ = false;
  HPOWERNOTIFY power_notify_ = nullptr;
  bool monitor_on_ = true;
  bool minimized_ = false;
  gfx::RectMerger merger_;
};

}  // namespace sarvel::win32
