// X11: the shared display connection, the pixel layout of our visual, the
// error trap and the window registry.
#include "frontends/x11/x11_display.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/scrnsaver.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace sarvel::x11 {
namespace {

ErrorTrap* g_trap = nullptr;
int g_untrapped_errors = 0;
std::vector<XID> g_expected_error_sources;

// Xwayland names its RandR outputs XWAYLAND0, XWAYLAND1, ...
bool ServesWaylandOutputs(::Display* x, Window root) {
  int event_base = 0, error_base = 0;
  if (!XRRQueryExtension(x, &event_base, &error_base)) return false;
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(x, root);
  if (!resources) return false;
  bool found = false;
  for (int i = 0; i < resources->noutput && !found; ++i) {
    XRROutputInfo* info = XRRGetOutputInfo(x, resources, resources->outputs[i]);
    found = info && std::string_view(info->name, size_t(info->nameLen)).starts_with("XWAYLAND");
    if (info) XRRFreeOutputInfo(info);
  }
  XRRFreeScreenResources(resources);
  return found;
}

bool HostIsLsbFirst() {
  const uint32_t one = 1;
  uint8_t first = 0;
  std::memcpy(&first, &one, 1);
  return first == 1;
}

// A channel mask as a shift and a width in bits.
struct Channel {
  int shift = 0;
  int bits = 0;
  explicit Channel(unsigned long mask)
      : shift(mask ? std::countr_zero(mask) : 0), bits(std::popcount(mask)) {}
  unsigned long From8(uint8_t v) const {
    if (bits == 0) return 0;
    const unsigned long max = (1ul << bits) - 1;
    return ((unsigned long)v * max + 127) / 255 << shift;
  }
  uint8_t To8(unsigned long pixel) const {
    if (bits == 0) return 0;
    const unsigned long max = (1ul << bits) - 1;
    return uint8_t((((pixel >> shift) & max) * 255 + max / 2) / max);
  }
};

int IoErrorHandler(::Display*) {
  std::fprintf(stderr, "sarvel: the connection to the display was lost\n");
  std::_Exit(1);
}

}  // namespace

int TrapHandler(::Display* display, XErrorEvent* event) {
  if (g_trap) {
    if (g_trap->error_code_ == 0) g_trap->error_code_ = event->error_code;
    return 0;
  }
  if (std::find(g_expected_error_sources.begin(), g_expected_error_sources.end(),
                event->resourceid) != g_expected_error_sources.end()) {
    return 0;
  }
  // A request outside any trap failed: say so, but go on.
  if (++g_untrapped_errors <= 5) {
    char text[160] = "";
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::fprintf(stderr, "sarvel: X error: %s (request %d)\n", text, int(event->request_code));
  }
  return 0;
}

ErrorTrap::ErrorTrap(::Display* display) : display_(display), outer_(g_trap) {
  // Errors of requests still in flight belong to whoever made them.
  XSync(display_, False);
  g_trap = this;
}

ErrorTrap::~ErrorTrap() {
  XSync(display_, False);
  g_trap = outer_;
}

bool ErrorTrap::Ok() {
  XSync(display_, False);
  return error_code_ == 0;
}

PixelFormat PixelFormat::Make(unsigned long red, unsigned long green, unsigned long blue, int depth,
                              int bits_per_pixel, int byte_order) {
  PixelFormat f;
  f.red_mask = red;
  f.green_mask = green;
  f.blue_mask = blue;
  f.depth = depth;
  f.bits_per_pixel = bits_per_pixel;
  f.byte_order = byte_order;
  f.native = bits_per_pixel == 32 && red == 0xFF0000 && green == 0x00FF00 && blue == 0x0000FF &&
             (byte_order == LSBFirst) == HostIsLsbFirst();
  return f;
}

PixelFormat PixelFormat::Of(::Display* display, Visual* visual, int depth) {
  int bpp = depth;
  int count = 0;
  if (XPixmapFormatValues* formats = XListPixmapFormats(display, &count)) {
    for (int i = 0; i < count; ++i) {
      if (formats[i].depth == depth) bpp = formats[i].bits_per_pixel;
    }
    XFree(formats);
  }
  return Make(visual->red_mask, visual->green_mask, visual->blue_mask, depth, bpp,
              ImageByteOrder(display));
}

unsigned long PixelFormat::FromArgb(gfx::Argb c) const {
  return Channel(red_mask).From8(gfx::RedOf(c)) | Channel(green_mask).From8(gfx::GreenOf(c)) |
         Channel(blue_mask).From8(gfx::BlueOf(c));
}

gfx::Argb PixelFormat::ToArgb(unsigned long pixel) const {
  return gfx::Rgb(Channel(red_mask).To8(pixel), Channel(green_mask).To8(pixel),
                  Channel(blue_mask).To8(pixel));
}

double XftDpiOf(const char* resources) {
  if (!resources) return 0;
  std::string_view text(resources);
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view name = line.substr(0, colon);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    if (name != "Xft.dpi") continue;
    const std::string value(line.substr(colon + 1));
    char* stop = nullptr;
    const double dpi = std::strtod(value.c_str(), &stop);
    if (stop != value.c_str() && dpi >= 24 && dpi <= 1200) return dpi;
  }
  return 0;
}

std::unique_ptr<Display> Display::Open() {
  ::Display* x = XOpenDisplay(nullptr);
  if (!x) return nullptr;
  XSetErrorHandler(TrapHandler);
  XSetIOErrorHandler(IoErrorHandler);
  std::unique_ptr<Display> d(new Display());
  d->display_ = x;
  d->screen_ = DefaultScreen(x);
  d->root_ = RootWindow(x, d->screen_);
  d->visual_ = DefaultVisual(x, d->screen_);
  d->depth_ = DefaultDepth(x, d->screen_);
  d->format_ = PixelFormat::Of(x, d->visual_, d->depth_);
  d->screen_width_ = DisplayWidth(x, d->screen_);
  d->screen_height_ = DisplayHeight(x, d->screen_);
  const double xft = XftDpiOf(XResourceManagerString(x));
  d->dpi_ = xft > 0 ? xft : 96.0;
  d->xwayland_ = ServesWaylandOutputs(x, d->root_);
  d->wm_protocols_ = XInternAtom(x, "WM_PROTOCOLS", False);
  d->wm_delete_window_ = XInternAtom(x, "WM_DELETE_WINDOW", False);
  // A cursor of one transparent pixel.
  static const char kEmpty[1] = {0};
  Pixmap blank = XCreateBitmapFromData(x, d->root_, kEmpty, 1, 1);
  XColor black{};
  d->invisible_cursor_ = XCreatePixmapCursor(x, blank, blank, &black, &black, 0, 0);
  XFreePixmap(x, blank);
  return d;
}

Display::~Display() { Close(); }

void Display::Close() {
  if (!display_) return;
  SuspendScreenSaver(false);
  if (invisible_cursor_ != None) XFreeCursor(display_, invisible_cursor_);
  XCloseDisplay(display_);
  display_ = nullptr;
  windows_.clear();
}

int Display::ScreenWidth() const { return screen_width_; }
int Display::ScreenHeight() const { return screen_height_; }

std::vector<gfx::Rect> Display::Monitors() {
  std::vector<gfx::Rect> monitors;
  int event_base = 0, error_base = 0;
  if (XineramaQueryExtension(display_, &event_base, &error_base) && XineramaIsActive(display_)) {
    int count = 0;
    if (XineramaScreenInfo* screens = XineramaQueryScreens(display_, &count)) {
      for (int i = 0; i < count; ++i) {
        const gfx::Rect r{screens[i].x_org, screens[i].y_org, screens[i].width, screens[i].height};
        // Mirrored outputs show up once per output: one scene each is enough.
        bool seen = false;
        for (const gfx::Rect& m : monitors)
          seen = seen || (m.x == r.x && m.y == r.y && m.w == r.w && m.h == r.h);
        if (!r.empty() && !seen) monitors.push_back(r);
      }
      XFree(screens);
    }
  }
  if (monitors.empty()) monitors.push_back(gfx::Rect{0, 0, ScreenWidth(), ScreenHeight()});
  return monitors;
}

void Display::WatchScreenChanges(WindowClient* client) {
  screen_watcher_ = client;
  if (!client) return;
  // RandR announces every change of the screen's layout with a new size of
  // the root window.
  XWindowAttributes a;
  if (XGetWindowAttributes(display_, root_, &a))
    XSelectInput(display_, root_, a.your_event_mask | StructureNotifyMask);
}

bool Display::IsScreenChange(const XEvent& event) const {
  return event.type == ConfigureNotify && event.xconfigure.window == root_;
}

bool Display::WindowExists(Window window) {
  if (window == None) return false;
  ErrorTrap trap(display_);
  XWindowAttributes a;
  const Status got = XGetWindowAttributes(display_, window, &a);
  return trap.Ok() && got != 0;
}

Window Display::VirtualRoot() {
  const Atom vroot = XInternAtom(display_, "__SWM_VROOT", False);
  Window found = None;
  ErrorTrap trap(display_);
  Window root = None, parent = None, *children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display_, root_, &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && found == None; ++i) {
      Atom type = None;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display_, children[i], vroot, 0, 1, False, XA_WINDOW, &type, &format,
                             &items, &after, &data) == Success &&
          type == XA_WINDOW && format == 32 && items == 1 && data) {
        found = *reinterpret_cast<Window*>(data);
      }
      if (data) XFree(data);
    }
    if (children) XFree(children);
  }
  if (!trap.Ok()) found = None;
  return found != None ? found : root_;
}

void Display::Register(Window window, WindowClient* client) { windows_[window].client = client; }

void Display::Unregister(Window window) { windows_.erase(window); }

Display::OwnWindow* Display::Own(Window window) {
  const auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

std::vector<WindowClient*> Display::Clients() const {
  std::vector<WindowClient*> clients;
  for (const auto& [window, own] : windows_) {
    if (own.client) clients.push_back(own.client);
  }
  return clients;
}

bool Display::HasClient(const WindowClient* client) const {
  for (const auto& [window, own] : windows_) {
    if (own.client == client) return true;
  }
  return false;
}

bool Display::Dispatch(XEvent& event) {
  if (IsScreenChange(event)) {
    // Xlib keeps the size it was told at the start.
    screen_width_ = event.xconfigure.width;
    screen_height_ = event.xconfigure.height;
    if (screen_watcher_) {
      screen_watcher_->HandleEvent(event);
      return true;
    }
  }
  OwnWindow* own = Own(event.xany.window);
  if (!own || !own->client) return false;
  own->client->HandleEvent(event);
  return true;
}

void Display::ExpectErrorsFrom(Window window) { g_expected_error_sources.push_back(window); }

void Display::SetCursorHidden(bool hidden) {
  if (hidden == cursor_hidden_) return;
  cursor_hidden_ = hidden;
  for (WindowClient* client : Clients()) client->OnCursorChanged(hidden);
  XFlush(display_);
}

void Display::SuspendScreenSaver(bool suspend) {
  if (!display_ || suspend == suspended_) return;
  if (suspend) {
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    used_extension_ = XScreenSaverQueryExtension(display_, &event_base, &error_base) &&
                      XScreenSaverQueryVersion(display_, &major, &minor) &&
                      (major > 1 || (major == 1 && minor >= 1));
    if (used_extension_) {
      XScreenSaverSuspend(display_, True);
    } else {
      XGetScreenSaver(display_, &saved_timeout_, &saved_interval_, &saved_blanking_,
                      &saved_exposures_);
      XSetScreenSaver(display_, 0, saved_interval_, saved_blanking_, saved_exposures_);
    }
  } else if (used_extension_) {
    XScreenSaverSuspend(display_, False);
  } else {
    XSetScreenSaver(display_, saved_timeout_, saved_interval_, saved_blanking_, saved_exposures_);
  }
  suspended_ = suspend;
  XFlush(display_);
}

}  // namespace sarvel::x11
