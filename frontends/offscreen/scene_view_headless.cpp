#include "frontends/offscreen/scene_view_headless.h"

#include <cmath>

#include "core/gfx/painter.h"
#include "resources/embedded_resources.h"

namespace sarvel::headless {

SceneViewHeadless::SceneViewHeadless(int screen_width, int screen_height, WindowHandle handle,
                                     double scale)
    : screen_width_(screen_width), screen_height_(screen_height), scale_(scale), handle_(handle) {
  desktop = SyntheticDesktop(screen_width, screen_height, scale);
  window_.set_back_color(gfx::kBlack);
  // More than a frame can name, so that recording never allocates.
  last_rects_.reserve(16384);
}

void SceneViewHeadless::Refresh() {
  ++refreshes_;
  last_whole_ = true;
  last_rects_.clear();
}

void SceneViewHeadless::RefreshRects(std::span<const gfx::Rect> rects) {
  ++partial_refreshes_;
  last_whole_ = false;
  last_rects_.assign(rects.begin(), rects.end());
}

void SceneViewHeadless::CaptureDesktop(gfx::Surface& into, int w, int h) {
  gfx::Blit(into, 0, 0, desktop, gfx::Rect{0, 0, w, h});
}

const gfx::Font& SceneViewHeadless::SceneFont() {
  return font_ ? *font_ : EmbeddedSceneFont(scale_);
}

void SceneViewHeadless::Resize(int w, int h) {
  if (w == window_.width() && h == window_.height()) return;
  window_.Resize(w, h);
  if (events_) events_->OnResize();
}

void SceneViewHeadless::Rescale(double scale, int w, int h) {
  scale_ = scale;
  window_.Resize(w, h);
  if (events_) events_->OnResize();
}

void SceneViewHeadless::MovePointer(float x, float y) {
  if (events_) events_->OnMouseMove(x, y);
}

void SceneViewHeadless::ChangeScreen(int w, int h) {
  screen_width_ = w;
  screen_height_ = h;
  if (events_) events_->OnDisplayChange();
}

bool SceneViewHeadless::Tick() {
  if (!timer_enabled_ || !events_) return false;
  events_->OnTimer();
  return true;
}

void PreviewViewHeadless::Resize(int w, int h) {
  window_.Resize(w, h);
  if (events_) events_->OnResize();
}

gfx::Surface SyntheticDesktop(int w, int h, double scale) {
  gfx::Surface s(w, h, gfx::kBlack);
  for (int y = 0; y < h; ++y) {
    gfx::Argb* row = s.row(y);
    for (int x = 0; x < w; ++x) {
      const int t = (x + y) * 255 / std::max(1, w + h);
      row[x] = gfx::Rgb(uint8_t(20 + t / 6), uint8_t(90 + t / 4), uint8_t(110 + t / 3));
    }
  }
  // A couple of window shapes, so a captured desktop is recognisable.
  const int bar = int(std::lround(18 * scale)), taskbar = int(std::lround(28 * scale));
  gfx::FillRect(s, gfx::Rect{w / 8, h / 8, w / 3, h / 3}, gfx::Rgb(236, 236, 236));
  gfx::FillRect(s, gfx::Rect{w / 8, h / 8, w / 3, bar}, gfx::Rgb(40, 70, 140));
  gfx::FillRect(s, gfx::Rect{w / 2, h / 3, w / 3, h / 3}, gfx::Rgb(245, 245, 240));
  gfx::FillRect(s, gfx::Rect{w / 2, h / 3, w / 3, bar}, gfx::Rgb(60, 60, 70));
  gfx::FillRect(s, gfx::Rect{0, h - taskbar, w, taskbar}, gfx::Rgb(30, 32, 38));
  return s;
}

}  // namespace sarvel::headless
