// X11: the image presenter, over MIT-SHM or plain XPutImage.
#include "frontends/x11/presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>

namespace sarvel::x11 {

Presenter::Presenter(Display& display, Window window, bool allow_shm)
    : display_(display), window_(window), visual_(display.visual()), depth_(display.depth()) {
  ::Display* x = display_.xdisplay();
  {
    ErrorTrap trap(x);
    XWindowAttributes a;
    if (XGetWindowAttributes(x, window_, &a) && trap.Ok()) {
      visual_ = a.visual;
      depth_ = a.depth;
    }
  }
  format_ = PixelFormat::Of(x, visual_, depth_);
  int major = 0, minor = 0;
  Bool pixmaps = False;
  shm_allowed_ = allow_shm && XShmQueryVersion(x, &major, &minor, &pixmaps);
  gc_ = XCreateGC(x, window_, 0, nullptr);
  XSetGraphicsExposures(x, gc_, False);
}

Presenter::~Presenter() {
  Unshare();
  ReleaseShm();
  XFreeGC(display_.xdisplay(), gc_);
}

bool Presenter::EnsureShm(int width, int height) {
  if (!shm_allowed_) return false;
  if (shm_image_ && shm_image_->width == width && shm_image_->height == height) return true;
  ReleaseShm();
  ::Display* x = display_.xdisplay();
  XImage* image = XShmCreateImage(x, visual_, unsigned(depth_), ZPixmap, nullptr, &shm_info_,
                                  unsigned(width), unsigned(height));
  if (!image) {
    shm_allowed_ = false;
    return false;
  }
  const size_t bytes = size_t(image->bytes_per_line) * size_t(height);
  shm_info_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  void* address =
      shm_info_.shmid >= 0 ? shmat(shm_info_.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
  bool attached = false;
  if (address != reinterpret_cast<void*>(-1)) {
    shm_info_.shmaddr = image->data = static_cast<char*>(address);
    shm_info_.readOnly = False;
    // A server on another machine, or one that may not read our memory,
    // refuses the segment: then the plain path serves.
    ErrorTrap trap(x);
    XShmAttach(x, &shm_info_);
    attached = trap.Ok();
  }
  // Marked for removal now, so the segment goes away with the last user,
  // however the process ends.
  if (shm_info_.shmid >= 0) shmctl(shm_info_.shmid, IPC_RMID, nullptr);
  if (!attached) {
    if (address != reinterpret_cast<void*>(-1)) shmdt(address);
    image->data = nullptr;
    XDestroyImage(image);
    shm_allowed_ = false;
    return false;
  }
  shm_image_ = image;
  Lend();
  return true;
}

bool Presenter::InSegment(const gfx::Surface& image) const {
  return shm_image_ && image.width() > 0 && image.height() > 0 &&
         reinterpret_cast<const char*>(image.row(0)) == shm_image_->data;
}

void Presenter::Lend() {
  if (!shared_ || !shm_image_ || !format_.native || InSegment(*shared_)) return;
  const int w = shared_->width(), h = shared_->height();
  if (shm_image_->width != w || shm_image_->height != h || shm_image_->bytes_per_line != w * 4)
    return;
  WaitForServer();
  shared_->UseMemory(reinterpret_cast<gfx::Argb*>(shm_image_->data), w, h);
}

void Presenter::Share(gfx::Surface& image) {
  if (shared_ && shared_ != &image) Unshare();
  shared_ = &image;
  if (image.width() > 0 && image.height() > 0) EnsureShm(image.width(), image.height());
  Lend();
}

void Presenter::Unshare() {
  if (!shared_) return;
  if (InSegment(*shared_)) {
    WaitForServer();
    shared_->OwnMemory();
  }
  shared_ = nullptr;
}

void Presenter::ReleaseShm() {
  if (!shm_image_) return;
  ::Display* x = display_.xdisplay();
  WaitForServer();
  if (shared_ && InSegment(*shared_)) shared_->OwnMemory();  // before the memory goes
  XShmDetach(x, &shm_info_);
  XSync(x, False);
  shmdt(shm_info_.shmaddr);
  shm_image_->data = nullptr;
  XDestroyImage(shm_image_);
  shm_image_ = nullptr;
}

void Presenter::WaitForServer() {
  // The server reads the segment while it carries out the last put; once it
  // has answered a round trip that put is done and the memory is ours again.
  if (!server_reading_) return;
  XSync(display_.xdisplay(), False);
  server_reading_ = false;
}

void Presenter::PutAll(const gfx::Surface& image) {
  const gfx::Rect all = image.bounds();
  Put(image, std::span<const gfx::Rect>(&all, 1));
}

void Presenter::Put(const gfx::Surface& image, std::span<const gfx::Rect> rects) {
  if (image.width() <= 0 || image.height() <= 0 || window_ == None) return;
  const bool shm = EnsureShm(image.width(), image.height());
  if (shm) WaitForServer();
  for (const gfx::Rect& r : merger_.Merge(rects, image.bounds())) {
    if (shm) {
      PutShm(image, r);
      server_reading_ = true;
    } else {
      PutPlain(image, r);
    }
  }
  XFlush(display_.xdisplay());
  // The image itself is in the segment: it may be drawn into only once the
  // server has read it.
  if (InSegment(image)) WaitForServer();
}

void Presenter::PutShm(const gfx::Surface& image, const gfx::Rect& r) {
  const PixelFormat& f = format_;
  if (InSegment(image)) {
    // Already there.
  } else if (f.native) {
    for (int y = r.y; y < r.bottom(); ++y) {
      char* dst =
          shm_image_->data + size_t(y) * size_t(shm_image_->bytes_per_line) + size_t(r.x) * 4;
      std::memcpy(dst, image.row(y) + r.x, size_t(r.w) * 4);
    }
  } else {
    for (int y = r.y; y < r.bottom(); ++y) {
      const gfx::Argb* src = image.row(y);
      for (int x = r.x; x < r.right(); ++x) XPutPixel(shm_image_, x, y, f.FromArgb(src[x]));
    }
  }
  XShmPutImage(display_.xdisplay(), window_, gc_, shm_image_, r.x, r.y, r.x, r.y, unsigned(r.w),
               unsigned(r.h), False);
}

void Presenter::PutPlain(const gfx::Surface& image, const gfx::Rect& r) {
  ::Display* x = display_.xdisplay();
  const PixelFormat& f = format_;
  if (f.native) {
    // The surface's own rows, lent to Xlib for the call: XPutImage copies
    // them into the request before it returns.
    XImage* view =
        XCreateImage(x, visual_, unsigned(depth_), ZPixmap, 0,
                     const_cast<char*>(reinterpret_cast<const char*>(image.row(0))),
                     unsigned(image.width()), unsigned(image.height()), 32, image.width() * 4);
    if (!view) return;
    XPutImage(x, window_, gc_, view, r.x, r.y, r.x, r.y, unsigned(r.w), unsigned(r.h));
    view->data = nullptr;
    XDestroyImage(view);
    return;
  }
  XImage* part = XCreateImage(x, visual_, unsigned(depth_), ZPixmap, 0, nullptr, unsigned(r.w),
                              unsigned(r.h), 32, 0);
  if (!part) return;
  convert_.assign((size_t(part->bytes_per_line) * size_t(r.h) + 3) / 4, 0);
  part->data = reinterpret_cast<char*>(convert_.data());
  for (int y = 0; y < r.h; ++y) {
    const gfx::Argb* src = image.row(r.y + y) + r.x;
    for (int i = 0; i < r.w; ++i) XPutPixel(part, i, y, f.FromArgb(src[i]));
  }
  XPutImage(x, window_, gc_, part, 0, 0, r.x, r.y, unsigned(r.w), unsigned(r.h));
  part->data = nullptr;
  XDestroyImage(part);
}

bool StopPresenting(Display& display, EventLoop& loop, EventLoop::Timer*& timer, Window& window,
                    std::unique_ptr<Presenter>& presenter) {
  if (timer) loop.RemoveTimer(timer);
  timer = nullptr;
  if (window == None || !display.xdisplay()) {
    window = None;
    return false;
  }
  presenter.reset();
  display.Unregister(window);
  return true;
}

}  // namespace sarvel::x11
