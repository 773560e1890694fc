// X11: the scene window.
#include "frontends/x11/scene_window_x11.h"

#include <X11/Xatom.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "resources/embedded_resources.h"

namespace sarvel::x11 {
namespace {

constexpr long kFullScreenEvents = ExposureMask | StructureNotifyMask | VisibilityChangeMask |
                                   KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                                   PointerMotionMask;
// The windowed and hosted kinds take no input at all.
constexpr long kQuietEvents = ExposureMask | StructureNotifyMask | VisibilityChangeMask;
constexpr unsigned kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
// Another client may hold a grab for a moment (a menu that is closing):
// the scene tries again on its next ticks.
constexpr int kGrabAttempts = 40;
constexpr auto kRaisePause = std::chrono::milliseconds(250);

void NameWindow(::Display* x, Window w) {
  XStoreName(x, w, "Sarvel");
  XClassHint hint;
  char name[] = "sarvel", klass[] = "Sarvel";
  hint.res_name = name;
  hint.res_class = klass;
  XSetClassHint(x, w, &hint);
  const char title[] = "Sarvel";
  XChangeProperty(x, w, XInternAtom(x, "_NET_WM_NAME", False), XInternAtom(x, "UTF8_STRING", False),
                  8, PropModeReplace, reinterpret_cast<const unsigned char*>(title),
                  int(sizeof title - 1));
  const long pid = long(::getpid());
  XChangeProperty(x, w, XInternAtom(x, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
}

// The pixmap that property `name` of `window` names; None when it names none.
Pixmap PixmapProperty(::Display* x, Window window, Atom name) {
  ErrorTrap trap(x);
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  Pixmap picture = None;
  if (XGetWindowProperty(x, window, name, 0, 1, False, XA_PIXMAP, &type, &format, &items, &after,
                         &data) == Success &&
      type == XA_PIXMAP && format == 32 && items == 1 && data) {
    picture = Pixmap(*reinterpret_cast<const unsigned long*>(data));
  }
  if (data) XFree(data);
  return trap.Ok() ? picture : None;
}

// The pixmap that a screen-saver daemon stored on `window` as the desktop it
// covered; None when there is none.
Pixmap DaemonScreenshot(::Display* x, Window window) {
  const Atom name = XInternAtom(x, "_SCREENSAVER_SCREENSHOT", True);
  return name == None ? None : PixmapProperty(x, window, name);
}

// A part of a drawable, or null when the server refused it.
XImage* TrappedImage(::Display* x, Drawable from, int left, int top, int w, int h) {
  ErrorTrap trap(x);
  XImage* shot = XGetImage(x, from, left, top, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
  if (!trap.Ok() && shot) {
    XDestroyImage(shot);
    shot = nullptr;
  }
  return shot;
}

// The whole image into `into` with its top-left corner at (dx, dy); `into`
// holds it.
void CopyImage(XImage& shot, const PixelFormat& f, gfx::Surface& into, int dx, int dy) {
  for (int y = 0; y < shot.height; ++y) {
    gfx::Argb* out = into.row(dy + y) + dx;
    if (f.native) {
      const auto* src =
          reinterpret_cast<const uint32_t*>(shot.data + size_t(y) * size_t(shot.bytes_per_line));
      for (int i = 0; i < shot.width; ++i) out[i] = 0xFF000000u | src[i];
    } else {
      for (int i = 0; i < shot.width; ++i) out[i] = f.ToArgb(XGetPixel(&shot, i, y));
    }
  }
}

// Where `window`'s origin lies on the root; false when the window is gone.
bool PlaceOnRoot(::Display* x, Window window, Window root, int& ox, int& oy) {
  ErrorTrap trap(x);
  Window child = None;
  XTranslateCoordinates(x, window, root, 0, 0, &ox, &oy, &child);
  return trap.Ok();
}

// The wallpaper that desktops publish on the root window for programs that
// draw over it; None when there is none.
Pixmap RootWallpaper(::Display* x, Window root) {
  const Atom name = XInternAtom(x, "_XROOTPMAP_ID", True);
  return name == None ? None : PixmapProperty(x, root, name);
}

// The part of `from` (a drawable of from_w x from_h pixels laid over the
// root) under the rectangle w x h at (ox, oy), into `into` at the same place;
// what lies outside `from` stays as it is. Pixels are laid out as `layout`
// says, or as the image's visual when it names one. False when the server
// refused.
bool CopyPart(::Display* x, Drawable from, int from_w, int from_h, const PixelFormat* layout,
              gfx::Surface& into, int ox, int oy, int w, int h) {
  const int left = std::max(0, ox), top = std::max(0, oy);
  const int right = std::min({ox + w, from_w, ox + into.width()});
  const int bottom = std::min({oy + h, from_h, oy + into.height()});
  if (right <= left || bottom <= top) return true;
  XImage* shot = TrappedImage(x, from, left, top, right - left, bottom - top);
  if (!shot) return false;
  const PixelFormat f =
      layout ? PixelFormat::Make(layout->red_mask, layout->green_mask, layout->blue_mask,
                                 shot->depth, shot->bits_per_pixel, shot->byte_order)
             : PixelFormat::Make(shot->red_mask, shot->green_mask, shot->blue_mask, shot->depth,
                                 shot->bits_per_pixel, shot->byte_order);
  CopyImage(*shot, f, into, left - ox, top - oy);
  XDestroyImage(shot);
  return true;
}

// A picture as large as the root (a daemon's screenshot, the wallpaper), of
// which the part under the rectangle at (ox, oy) is ours; false when there is
// none to read.
bool CopyPicture(Display& display, Pixmap picture, gfx::Surface& into, int ox, int oy, int w,
                 int h) {
  if (picture == None) return false;
  ::Display* x = display.xdisplay();
  ErrorTrap trap(x);
  Window root = None;
  int px = 0, py = 0;
  unsigned pw = 0, ph = 0, border = 0, depth = 0;
  // The pixmap belongs to another client, which may free it at any moment.
  if (!XGetGeometry(x, picture, &root, &px, &py, &pw, &ph, &border, &depth) || !trap.Ok())
    return false;
  if (int(depth) != display.depth()) return false;
  // An image of a pixmap names no visual: its pixels are laid out as our
  // visual's, whose depth it has.
  return CopyPart(x, picture, int(pw), int(ph), &display.format(), into, ox, oy, w, h);
}

}  // namespace

SceneWindowX11::SceneWindowX11(Display& display, EventLoop& loop, Process& process,
                               SceneWindowOptions options)
    : display_(display), loop_(loop), process_(process), options_(options) {}

SceneWindowX11::~SceneWindowX11() { Destroy(); }

void SceneWindowX11::Create() {
  ::Display* x = display_.xdisplay();
  image_.set_back_color(gfx::kBlack);
  XSetWindowAttributes a{};
  a.background_pixel = BlackPixel(x, display_.screen());
  a.border_pixel = 0;
  switch (options_.kind) {
    case Kind::kFullScreen:
      a.override_redirect = True;
      a.event_mask = kFullScreenEvents;
      window_ = XCreateWindow(x, display_.root(), 0, 0, 1, 1, 0, CopyFromParent, InputOutput,
                              CopyFromParent,
                              CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWEventMask, &a);
      own_window_ = true;
      if (display_.cursor_hidden()) XDefineCursor(x, window_, display_.invisible_cursor());
      break;
    case Kind::kWindowed: {
      a.event_mask = kQuietEvents;
      window_ = XCreateWindow(x, display_.root(), 0, 0, unsigned(options_.width),
                              unsigned(options_.height), 0, CopyFromParent, InputOutput,
                              CopyFromParent, CWBackPixel | CWBorderPixel | CWEventMask, &a);
      own_window_ = true;
      Atom protocols[] = {display_.wm_delete_window()};
      XSetWMProtocols(x, window_, protocols, 1);
      XSizeHints* hints = XAllocSizeHints();
      hints->flags = PMinSize;
      hints->min_width = 64;
      hints->min_height = 48;
      XSetWMNormalHints(x, window_, hints);
      XFree(hints);
      break;
    }
    case Kind::kHosted: {
      window_ = options_.target;
      own_window_ = false;
      display_.ExpectErrorsFrom(window_);
      ErrorTrap trap(x);
      XSelectInput(x, window_, kQuietEvents);
      XWindowAttributes wa;
      if (XGetWindowAttributes(x, window_, &wa)) mapped_ = wa.map_state == IsViewable;
      trap.Ok();
      break;
    }
  }
  if (own_window_) NameWindow(x, window_);
  display_.Register(window_, this);
  if (options_.kind == Kind::kFullScreen && !options_.sibling) {
    display_.WatchScreenChanges(this);
    watching_screen_ = true;
  }
  presenter_ = std::make_unique<Presenter>(display_, window_);
  presenter_->Share(image_);
  timer_ = loop_.AddTimer([this] { OnTick(); });
  timer_->SetInterval(interval_);
  XFlush(x);
}

WindowHandle SceneWindowX11::handle() const { return WindowHandle(window_); }
void SceneWindowX11::SetEvents(SceneEvents* events) { events_ = events; }
gfx::Surface& SceneWindowX11::WindowImage() { return image_; }

void SceneWindowX11::Show(ShowMode) {
  if (window_ == None) return;
  ::Display* x = display_.xdisplay();
  if (options_.kind == Kind::kFullScreen) {
    XMapRaised(x, window_);
    // The input is grabbed once, by the first window; the pointer's events
    // over a sibling still go to the sibling.
    if (!options_.sibling) {
      grab_attempts_left_ = kGrabAttempts;
      TakeInput();
    }
  } else if (options_.kind == Kind::kWindowed) {
    XMapWindow(x, window_);
  }
  XFlush(x);
}

void SceneWindowX11::Destroy() {
  if (!StopPresenting(display_, loop_, timer_, window_, presenter_)) return;
  ::Display* x = display_.xdisplay();
  if (watching_screen_) display_.WatchScreenChanges(nullptr);
  watching_screen_ = false;
  if (own_window_) {
    if (grabbed_keyboard_) XUngrabKeyboard(x, CurrentTime);
    if (grabbed_pointer_) XUngrabPointer(x, CurrentTime);
    XDestroyWindow(x, window_);
  } else {
    // The host's window stays as it is; only our interest in it ends.
    ErrorTrap trap(x);
    XSelectInput(x, window_, NoEventMask);
    trap.Ok();
  }
  grabbed_keyboard_ = grabbed_pointer_ = false;
  window_ = None;
  XFlush(x);
}

void SceneWindowX11::Maximize() {
  if (window_ == None) return;
  ::Display* x = display_.xdisplay();
  int w = 0, h = 0;
  switch (options_.kind) {
    case Kind::kFullScreen: {
      const gfx::Rect m = has_monitor_
                              ? monitor_
                              : gfx::Rect{0, 0, display_.ScreenWidth(), display_.ScreenHeight()};
      w = m.w;
      h = m.h;
      XMoveResizeWindow(x, window_, m.x, m.y, unsigned(w), unsigned(h));
      break;
    }
    case Kind::kWindowed:
      w = options_.width;
      h = options_.height;
      XResizeWindow(x, window_, unsigned(w), unsigned(h));
      break;
    case Kind::kHosted: {
      ErrorTrap trap(x);
      XWindowAttributes wa;
      if (XGetWindowAttributes(x, window_, &wa) && trap.Ok()) {
        w = wa.width;
        h = wa.height;
      }
      break;
    }
  }
  // The window is still hidden: the layout that this size runs, with its
  // desktop capture, happens now, before the scene covers the desktop.
  ApplySize(w, h);
}

void SceneWindowX11::ApplySize(int width, int height) {
  if (width == image_.width() && height == image_.height()) return;
  image_.Resize(width, height);
  if (presenter_) presenter_->Share(image_);  // the scene draws straight into what the server reads
  Deliver([&] { events_->OnResize(); });
}

void SceneWindowX11::SetTimerInterval(int32_t milliseconds) {
  interval_ = std::max<int32_t>(1, milliseconds);
  if (timer_) timer_->SetInterval(interval_);
}

void SceneWindowX11::EnableTimer(bool enabled) {
  if (timer_) timer_->Enable(enabled);
}

void SceneWindowX11::CaptureDesktop(gfx::Surface& into, int w, int h) {
  ::Display* x = display_.xdisplay();
  int ox = 0, oy = 0;
  if (options_.kind == Kind::kHosted) {
    // The host's window, wherever it lies: one monitor of several, say.
    if (!PlaceOnRoot(x, window_, display_.root(), ox, oy)) return;
    if (CopyPicture(display_, DaemonScreenshot(x, window_), into, ox, oy, w, h)) return;
    // A host that covers the screen before it starts us (a screen-saver
    // daemon without a picture of its own) leaves only its own window on
    // the screen; the wallpaper the desktop published is the desktop then.
    if (window_ != display_.root() &&
        CopyPicture(display_, RootWallpaper(x, display_.root()), into, ox, oy, w, h))
      return;
  } else if (has_monitor_) {
    ox = monitor_.x;
    oy = monitor_.y;
  }
  // The screen as it is under this window's place.
  CopyPart(x, display_.root(), display_.ScreenWidth(), display_.ScreenHeight(), nullptr, into, ox,
           oy, w, h);
}

bool SceneWindowX11::Visible() {
  return window_ != None && mapped_ && visibility_ != VisibilityFullyObscured;
}

void SceneWindowX11::Refresh() {
  if (Visible()) presenter_->PutAll(image_);
}

void SceneWindowX11::RefreshRects(std::span<const gfx::Rect> rects) {
  if (Visible()) presenter_->Put(image_, rects);
}

const gfx::Font& SceneWindowX11::SceneFont() {
  if (!font_looked_up_) {
    font_looked_up_ = true;
    font_ = FtFont::SceneFont(96.0 * DeviceScale());
  }
  // Without either face the scene keeps its own pre-rendered look-alike.
  if (font_) return *font_;
  return EmbeddedSceneFont();
}

double SceneWindowX11::DeviceScale() {
  return options_.scale > 0 ? options_.scale : display_.dpi() / 96.0;
}

std::vector<gfx::Rect> SceneWindowX11::Monitors() {
  if (options_.kind != Kind::kFullScreen) return {};
  return display_.Monitors();
}

void SceneWindowX11::SetMonitor(const gfx::Rect& monitor) {
  monitor_ = monitor;
  has_monitor_ = !monitor.empty();
}

std::unique_ptr<SceneView> SceneWindowX11::CreateSibling() {
  if (options_.kind != Kind::kFullScreen) return nullptr;
  SceneWindowOptions sibling = options_;
  sibling.sibling = true;
  return std::make_unique<SceneWindowX11>(display_, loop_, process_, sibling);
}

void SceneWindowX11::StayOnTop() {
  if (window_ == None) return;
  if (Display::OwnWindow* own = display_.Own(window_)) own->topmost = true;
  XRaiseWindow(display_.xdisplay(), window_);
}

void SceneWindowX11::Deliver(auto&& fn) {
  if (events_) Guarded(process_, fn);
}

void SceneWindowX11::TakeInput() {
  ::Display* x = display_.xdisplay();
  if (!grabbed_keyboard_) {
    grabbed_keyboard_ =
        XGrabKeyboard(x, window_, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
  }
  if (!grabbed_pointer_) {
    const Cursor cursor = display_.cursor_hidden() ? display_.invisible_cursor() : None;
    grabbed_pointer_ = XGrabPointer(x, window_, True, kPointerEvents, GrabModeAsync, GrabModeAsync,
                                    None, cursor, CurrentTime) == GrabSuccess;
  }
  if (!grabbed_keyboard_) {
    // Keys still come to us while we have the focus.
    ErrorTrap trap(x);
    XSetInputFocus(x, window_, RevertToParent, CurrentTime);
    trap.Ok();
  }
}

void SceneWindowX11::KeepOnTop() {
  const Display::OwnWindow* own = display_.Own(window_);
  if (!own || !own->topmost) return;
  // Another window that wants the top as badly must not make us fight it
  // at full speed.
  const Clock::time_point now = Clock::now();
  if (now - last_raise_ < kRaisePause) return;
  last_raise_ = now;
  XRaiseWindow(display_.xdisplay(), window_);
}

void SceneWindowX11::OnTick() {
  Deliver([&] { events_->OnTimer(); });
  if (window_ == None || options_.kind != Kind::kFullScreen) return;
  if (options_.sibling) {
    if (visibility_ != VisibilityUnobscured) KeepOnTop();
    return;
  }
  if (grab_attempts_left_ > 0 && !(grabbed_keyboard_ && grabbed_pointer_)) {
    --grab_attempts_left_;
    TakeInput();
  }
  if (visibility_ != VisibilityUnobscured) KeepOnTop();
}

void SceneWindowX11::HandleEvent(XEvent& event) {
  ::Display* x = display_.xdisplay();
  const bool input = options_.kind == Kind::kFullScreen;
  if (watching_screen_ && display_.IsScreenChange(event)) {
    // Monitors came, went or were resized; wherever that left the pointer
    // is the reference for the next movement.
    Deliver([&] { events_->OnDisplayChange(); });
    if (window_ != None) ReportPointer(true);
    return;
  }
  switch (event.type) {
    case Expose:
      if (Visible()) {
        const gfx::Rect r{event.xexpose.x, event.xexpose.y, event.xexpose.width,
                          event.xexpose.height};
        presenter_->Put(image_, std::span<const gfx::Rect>(&r, 1));
      }
      break;
    case ConfigureNotify: {
      // Only the last of a run of size changes is laid out.
      XEvent latest = event;
      while (XCheckTypedWindowEvent(x, window_, ConfigureNotify, &latest)) {
      }
      ApplySize(latest.xconfigure.width, latest.xconfigure.height);
      break;
    }
    case MapNotify:
      mapped_ = true;
      // As on Windows, a window appearing under the pointer learns where it
      // is: the first real movement is then measured from there. Xwayland
      // knows only the place of its own until the pointer enters: there the
      // pointer's arrival, the first movement, is the reference.
      if (input && !display_.xwayland()) ReportPointer(false);
      break;
    case UnmapNotify:
      mapped_ = false;
      break;
    case VisibilityNotify:
      visibility_ = event.xvisibility.state;
      if (input && visibility_ != VisibilityUnobscured) KeepOnTop();
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window != window_) break;
      // Our window went away under us (its host ended, or a client killed
      // it): the run ends as when the system closes a window.
      presenter_.reset();
      display_.Unregister(window_);
      window_ = None;
      Deliver([&] { events_->OnTerminate(); });
      break;
    case ClientMessage:
      if (event.xclient.message_type == display_.wm_protocols() &&
          Atom(event.xclient.data.l[0]) == display_.wm_delete_window()) {
        Deliver([&] { events_->OnTerminate(); });
      }
      break;
    case MotionNotify:
      if (input) DeliverPointer(event.xmotion.x_root, event.xmotion.y_root);
      break;
    case ButtonPress:
      // Any button, the wheels' 4 to 7 included: a turn is a touch.
      if (input) Deliver([&] { events_->OnMouseDown(); });
      break;
    case ButtonRelease:
      if (input) Deliver([&] { events_->OnClick(); });
      break;
    case KeyPress:
      if (input) {
        Deliver([&] { events_->OnKeyDown(); });
        char text[8];
        KeySym sym = NoSymbol;
        if (window_ != None && XLookupString(&event.xkey, text, sizeof text, &sym, nullptr) > 0) {
          Deliver([&] { events_->OnKeyPress(); });
        }
      }
      break;
    case MappingNotify:
      XRefreshKeyboardMapping(&event.xmapping);
      break;
    default:
      break;
  }
}

void SceneWindowX11::ReportPointer(bool anywhere) {
  Window root = None, child = None;
  int rx = 0, ry = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  if (!XQueryPointer(display_.xdisplay(), window_, &root, &child, &rx, &ry, &wx, &wy, &mask))
    return;
  if (!anywhere && (wx < 0 || wy < 0 || wx >= image_.width() || wy >= image_.height())) return;
  DeliverPointer(rx, ry);
}

void SceneWindowX11::DeliverPointer(int root_x, int root_y) {
  // From the root's position: the window may still be on its way to a
  // monitor's new place.
  const float px = float(root_x - (has_monitor_ ? monitor_.x : 0));
  const float py = float(root_y - (has_monitor_ ? monitor_.y : 0));
  Deliver([&] { events_->OnMouseMove(px, py); });
}

void SceneWindowX11::OnTerminateRequest() {
  Deliver([&] { events_->OnTerminate(); });
}

void SceneWindowX11::OnCursorChanged(bool hidden) {
  if (options_.kind != Kind::kFullScreen || window_ == None) return;
  ::Display* x = display_.xdisplay();
  const Cursor cursor = hidden ? display_.invisible_cursor() : None;
  if (hidden)
    XDefineCursor(x, window_, cursor);
  else
    XUndefineCursor(x, window_);
  if (grabbed_pointer_) XChangeActivePointerGrab(x, kPointerEvents, cursor, CurrentTime);
}

}  // namespace sarvel::x11
