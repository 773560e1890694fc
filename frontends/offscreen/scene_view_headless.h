// Headless windows of the scene and the preview: a screen of a chosen size
// and device scale, a synthetic desktop to capture, the window image in
// memory and a timer that the driver ticks by hand.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/gfx/surface.h"
#include "core/ports/preview_view.h"
#include "core/ports/scene_view.h"

namespace sarvel::headless {

class SceneViewHeadless : public SceneView {
 public:
  // The screen's size in device pixels, and its device pixels per logical
  // pixel (1 for a 96-DPI screen, 2 for a 192-DPI one).
  SceneViewHeadless(int screen_width, int screen_height, WindowHandle handle, double scale = 1.0);

  // FormView
  void Create() override { created_ = true; }
  WindowHandle handle() const override { return handle_; }
  void Show(ShowMode) override { visible_ = true; }
  void Destroy() override { created_ = visible_ = false; }

  // SceneHost
  void SetEvents(SceneEvents* events) override { events_ = events; }
  void Maximize() override { Resize(screen_width_, screen_height_); }
  void SetTimerInterval(int32_t ms) override { interval_ = ms; }
  void EnableTimer(bool enabled) override { timer_enabled_ = enabled; }
  void CaptureDesktop(gfx::Surface& into, int w, int h) override;
  gfx::Surface& WindowImage() override { return window_; }
  void Refresh() override;
  void RefreshRects(std::span<const gfx::Rect> rects) override;
  bool Visible() override { return seen_; }
  double DeviceScale() override { return scale_; }
  // The linked-in atlas made for the dots per inch closest to the scale's,
  // unless another font was given.
  const gfx::Font& SceneFont() override;
  // The scene prints with `font` from now on (it must outlive the view).
  void UseFont(const gfx::Font& font) { font_ = &font; }

  // Driving it: a size change as the window system would report it, and one
  // tick of the frame timer (nothing happens while the timer is off).
  void Resize(int w, int h);
  bool Tick();
  SceneEvents* events() { return events_; }

  gfx::Surface desktop;  // what a capture sees; a calm default picture
  bool visible() const { return visible_; }
  bool timer_enabled() const { return timer_enabled_; }
  int32_t interval() const { return interval_; }
  // Whole-window repaints and partial ones so far.
  int refreshes() const { return refreshes_; }
  int partial_refreshes() const { return partial_refreshes_; }
  // What the last refresh repainted: the whole window, or these parts.
  bool last_refresh_whole() const { return last_whole_; }
  const std::vector<gfx::Rect>& last_refresh_rects() const { return last_rects_; }
  // As when the monitor goes off and on again.
  void set_seen(bool seen) { seen_ = seen; }
  // As when the window moves to a monitor of another scale: the new scale
  // and the window's new size in device pixels, reported as a size change
  // even when the size stays.
  void Rescale(double scale, int w, int h);
  // The pointer over the window at (x, y), in device pixels.
  void MovePointer(float x, float y);
  // The screen took another size (a monitor came, went or changed its mode).
  void ChangeScreen(int w, int h);

 private:
  int screen_width_;
  int screen_height_;
  double scale_;
  WindowHandle handle_;
  SceneEvents* events_ = nullptr;
  gfx::Surface window_;
  bool created_ = false;
  bool visible_ = false;
  bool timer_enabled_ = false;
  int32_t interval_ = 0;
  int refreshes_ = 0;
  int partial_refreshes_ = 0;
  bool last_whole_ = false;
  std::vector<gfx::Rect> last_rects_;
  bool seen_ = true;
  const gfx::Font* font_ = nullptr;
};

class PreviewViewHeadless : public PreviewView {
 public:
  explicit PreviewViewHeadless(WindowHandle handle) : handle_(handle) {}
  void Create() override {}
  WindowHandle handle() const override { return handle_; }
  void Show(ShowMode) override {}
  void Destroy() override {}
  void SetEvents(PreviewEvents* events) override { events_ = events; }
  gfx::Surface& WindowImage() override { return window_; }
  void Refresh() override {}
  void Resize(int w, int h);

 private:
  WindowHandle handle_;
  PreviewEvents* events_ = nullptr;
  gfx::Surface window_;
};

// A desktop-like picture: a soft teal gradient with a few window shapes,
// their bars drawn at the device scale.
gfx::Surface SyntheticDesktop(int w, int h, double scale = 1.0);

}  // namespace sarvel::headless
