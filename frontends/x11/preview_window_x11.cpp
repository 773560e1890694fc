// X11: the preview window inside another program's window.
#include "frontends/x11/preview_window_x11.h"

namespace sarvel::x11 {
namespace {

constexpr int32_t kParentWatchMs = 500;

}  // namespace

PreviewWindowX11::PreviewWindowX11(Display& display, EventLoop& loop, Process& process)
    : display_(display), loop_(loop), process_(process) {}

PreviewWindowX11::~PreviewWindowX11() {
  host_gone_ = true;
  Destroy();
}

WindowHandle PreviewWindowX11::handle() const { return WindowHandle(window_); }
void PreviewWindowX11::SetEvents(PreviewEvents* events) { events_ = events; }
gfx::Surface& PreviewWindowX11::WindowImage() { return image_; }

void PreviewWindowX11::Create() {
  ::Display* x = display_.xdisplay();
  image_.set_back_color(gfx::kBlack);
  XSetWindowAttributes a{};
  a.override_redirect = True;
  a.background_pixel = BlackPixel(x, display_.screen());
  a.border_pixel = 0;
  a.event_mask = ExposureMask | StructureNotifyMask;
  window_ =
      XCreateWindow(x, display_.root(), 0, 0, 1, 1, 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWEventMask, &a);
  XStoreName(x, window_, "Sarvel preview");
  // Its parent's owner may destroy it, and with it, at any moment.
  display_.ExpectErrorsFrom(window_);
  display_.Register(window_, this);
  presenter_ = std::make_unique<Presenter>(display_, window_);
  // A safety net besides DestroyNotify: a child whose parent is not there
  // (a handle that named no window) ends the preview too.
  watch_ = loop_.AddTimer([this] { WatchParent(); });
  watch_->SetInterval(kParentWatchMs);
  watch_->Enable(true);
  XFlush(x);
}

void PreviewWindowX11::Show(ShowMode) {
  if (window_ == None) return;
  XMapWindow(display_.xdisplay(), window_);
  XFlush(display_.xdisplay());
}

void PreviewWindowX11::Destroy() {
  if (!StopPresenting(display_, loop_, watch_, window_, presenter_)) return;
  ::Display* x = display_.xdisplay();
  ErrorTrap trap(x);
  XDestroyWindow(x, window_);
  trap.Ok();
  window_ = None;
}

void PreviewWindowX11::Refresh() {
  if (window_ != None && mapped_) presenter_->PutAll(image_);
}

void PreviewWindowX11::HostGone() {
  if (host_gone_) return;
  host_gone_ = true;
  if (events_) Guarded(process_, [&] { events_->OnHostGone(); });
}

void PreviewWindowX11::WatchParent() {
  if (window_ == None) return;
  const Display::OwnWindow* own = display_.Own(window_);
  if (!own || !own->embedded) return;
  ::Display* x = display_.xdisplay();
  Window root = None, parent = None, *children = nullptr;
  unsigned count = 0;
  ErrorTrap trap(x);
  const Status ok = XQueryTree(x, window_, &root, &parent, &children, &count);
  if (children) XFree(children);
  if (!trap.Ok() || !ok || parent == root) HostGone();
}

void PreviewWindowX11::HandleEvent(XEvent& event) {
  switch (event.type) {
    case ConfigureNotify: {
      XEvent latest = event;
      while (XCheckTypedWindowEvent(display_.xdisplay(), window_, ConfigureNotify, &latest)) {
      }
      const int w = latest.xconfigure.width, h = latest.xconfigure.height;
      if (w == image_.width() && h == image_.height()) break;
      image_.Resize(w, h);
      if (events_) Guarded(process_, [&] { events_->OnResize(); });
      break;
    }
    case Expose:
      if (mapped_) {
        const gfx::Rect r{event.xexpose.x, event.xexpose.y, event.xexpose.width,
                          event.xexpose.height};
        presenter_->Put(image_, std::span<const gfx::Rect>(&r, 1));
      }
      break;
    case MapNotify:
      mapped_ = true;
      break;
    case UnmapNotify:
      mapped_ = false;
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window != window_) break;
      // Destroyed with its parent: the display settings closed the preview.
      presenter_.reset();
      display_.Unregister(window_);
      window_ = None;
      HostGone();
      break;
    default:
      break;
  }
}

}  // namespace sarvel::x11
