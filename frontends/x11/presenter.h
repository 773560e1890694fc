// X11: puts a window's persistent image (a renderer surface) on the screen.
// Shared memory (MIT-SHM) where the server has it and can reach our memory;
// XPutImage over the connection otherwise. Only the given rectangles travel.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <memory>
#include <span>
#include <vector>

#include "core/gfx/rect_merge.h"
#include "core/gfx/surface.h"
#include "frontends/x11/event_loop.h"
#include "frontends/x11/x11_display.h"

namespace sarvel::x11 {

class Presenter {
 public:
  // `allow_shm` false forces the plain path (tests use both).
  Presenter(Display& display, Window window, bool allow_shm = true);
  ~Presenter();
  Presenter(const Presenter&) = delete;
  Presenter& operator=(const Presenter&) = delete;

  // Copies these parts of `image` to the same places of the window, merged
  // into fewer, larger ones: one request each.
  void Put(const gfx::Surface& image, std::span<const gfx::Rect> rects);
  void PutAll(const gfx::Surface& image);
  // How parts are merged from now on (the benchmark compares).
  void MergeWith(const gfx::RectMerger& merger) { merger_ = merger; }

  // Lets the window's image live in the shared segment when the server's
  // pixel format is ours: putting it then copies nothing, and every put
  // waits until the server has read it, so that the next drawing cannot
  // race the server. Again after each change of the image's size. Before
  // the segment goes, the image gets its pixels back in memory of its own;
  // `image` must outlive the presenter or be unshared first.
  void Share(gfx::Surface& image);
  void Unshare();
  bool shares() const { return shared_ && shared_->uses_lent_memory(); }

  bool using_shm() const { return shm_image_ != nullptr; }

 private:
  // A shared image of this size; false when shared memory cannot be used.
  bool EnsureShm(int width, int height);
  void ReleaseShm();
  // Moves the shared image into the segment when the two fit.
  void Lend();
  bool InSegment(const gfx::Surface& image) const;
  void WaitForServer();
  void PutShm(const gfx::Surface& image, const gfx::Rect& r);
  void PutPlain(const gfx::Surface& image, const gfx::Rect& r);

  Display& display_;
  Window window_;
  // The window's own visual: a host may have made its window with another
  // one than the screen's default.
  Visual* visual_;
  int depth_;
  PixelFormat format_;
  GC gc_ = nullptr;
  bool shm_allowed_;
  XImage* shm_image_ = nullptr;
  XShmSegmentInfo shm_info_{};
  bool server_reading_ = false;
  gfx::Surface* shared_ = nullptr;
  std::vector<uint32_t> convert_;  // rows for a visual that is not ARGB
  gfx::RectMerger merger_;
};

// The first half of destroying a window of ours that presents through
// `presenter`: `timer` stops, the presenter goes and the display no longer
// routes the window's events. False, with `window` set to None, when there is
// no window or no connection left to destroy it with.
bool StopPresenting(Display& display, EventLoop& loop, EventLoop::Timer*& timer, Window& window,
                    std::unique_ptr<Presenter>& presenter);

}  // namespace sarvel::x11
