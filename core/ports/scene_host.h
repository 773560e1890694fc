// What the scene needs of its window: its size, the frame timer, the desktop
// capture, the window's persistent image and the scene font.
#pragma once

#include <cstdint>
#include <span>

#include "core/gfx/font.h"
#include "core/gfx/surface.h"

namespace sarvel {

class SceneHost {
 public:
  virtual ~SceneHost() = default;
  // The client area, in device pixels: the size of the window's image.
  int ClientWidth() { return WindowImage().width(); }
  int ClientHeight() { return WindowImage().height(); }
  // Maximizes the window over the screen; the size change runs the layout.
  virtual void Maximize() = 0;
  virtual void SetTimerInterval(int32_t milliseconds) = 0;
  virtual void EnableTimer(bool enabled) = 0;
  // Copies the top-left w x h pixels of the display into `into` at (0, 0);
  // where the display cannot be read, `into` stays as it is.
  virtual void CaptureDesktop(gfx::Surface& into, int w, int h) = 0;
  // The window's persistent image, the same size as the client area; the
  // system repaints the window from it.
  virtual gfx::Surface& WindowImage() = 0;
  // Repaints the window from its image at once.
  virtual void Refresh() = 0;
  // Repaints only these parts of the window from its image (the parts that
  // changed since the last refresh); by default the whole window. They come
  // ordered by rows, may overlap, and lie inside the image.
  virtual void RefreshRects(std::span<const gfx::Rect> rects) {
    (void)rects;
    Refresh();
  }
  // False while nobody can see the window (monitor off, window unmapped or
  // fully covered): frames may then skip their painting.
  virtual bool Visible() { return true; }
  // Device pixels per logical pixel of a 96-DPI screen (1, 1.25, 1.5, 2...).
  // Sizes, the window image, the desktop capture and the scene font are in
  // device pixels; the scene keeps its rules in logical ones.
  virtual double DeviceScale() { return 1.0; }
  // The scene font at the device scale.
  virtual const gfx::Font& SceneFont() = 0;
  // The screen's horizontal twips per LOGICAL pixel: 1440 / (dots per inch
  // / DeviceScale()), so 15 wherever the device scale accounts for the
  // screen's dots per inch (15 at 96 dots per inch and scale 1, and at 192
  // and scale 2). The gradient strips are this wide in logical pixels, and
  // are then the same at every scale.
  virtual int TwipsPerPixelX() { return 15; }
};

}  // namespace sarvel
