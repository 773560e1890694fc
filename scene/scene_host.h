// What the scene needs of its window: its size, the frame timer, the desktop
// capture, the window's persistent image and the scene font.
#pragma once

#include <cstdint>
#include <span>

#include "platform/gfx/font.h"
#include "platform/gfx/surface.h"

namespace sarvel {

class SceneHost {
 public:
  virtual ~SceneHost() = default;
  virtual int ClientWidth() = 0;
  virtual int ClientHeight() = 0;
  // Maximizes the window over the screen; the size change runs the layout.
  virtual void Maximize() = 0;
  virtual void SetTimerInterval(int32_t milliseconds) = 0;
  virtual void EnableTimer(bool enabled) = 0;
  // Copies the top-left w x h pixels of the display into `into` at (0, 0).
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
  virtual const gfx::Font& SceneFont() = 0;
  // The screen's horizontal twips per pixel (15 at 96 dots per inch).
  virtual int TwipsPerPixelX() { return 15; }
};

}  // namespace sarvel
