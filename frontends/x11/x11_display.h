// X11: the connection to the display server that the whole front end shares.
// It knows the screen, the visual and its pixel layout, the dots per inch
// (Xft.dpi), the invisible cursor and the server's own screen saver; it traps
// protocol errors; and its registry routes each window's events to the object
// behind the window and keeps what the start-up asked of our windows (put
// into a preview's host, kept on top).
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "core/gfx/color.h"

namespace sarvel::x11 {

// How the server lays out a pixel of our visual, for converting to and from
// the renderer's 0xAARRGGBB.
struct PixelFormat {
  unsigned long red_mask = 0xFF0000;
  unsigned long green_mask = 0x00FF00;
  unsigned long blue_mask = 0x0000FF;
  int depth = 24;
  int bits_per_pixel = 32;
  int byte_order = LSBFirst;
  // 32-bit pixels in our byte order with 8-bit channels where ARGB has them:
  // the renderer's rows can go to the server as they are.
  bool native = true;

  static PixelFormat Of(::Display* display, Visual* visual, int depth);
  static PixelFormat Make(unsigned long red, unsigned long green, unsigned long blue, int depth,
                          int bits_per_pixel, int byte_order);
  unsigned long FromArgb(gfx::Argb color) const;
  gfx::Argb ToArgb(unsigned long pixel) const;
};

// What the event loop needs of an object that owns a window.
class WindowClient {
 public:
  virtual ~WindowClient() = default;
  virtual void HandleEvent(XEvent& event) = 0;
  // The process is asked to end (SIGTERM, SIGINT, SIGHUP).
  virtual void OnTerminateRequest() = 0;
  // The cursor was hidden for a run, or shown again.
  virtual void OnCursorChanged(bool hidden) { (void)hidden; }
};

class Display {
 public:
  // Null when no display can be opened (DISPLAY unset or unreachable).
  static std::unique_ptr<Display> Open();
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  ::Display* xdisplay() const { return display_; }
  int screen() const { return screen_; }
  Window root() const { return root_; }
  Visual* visual() const { return visual_; }
  int depth() const { return depth_; }
  const PixelFormat& format() const { return format_; }
  int ScreenWidth() const;
  int ScreenHeight() const;
  // Xft.dpi when the resource database has it, else 96.
  double dpi() const { return dpi_; }
  // True on Xwayland, which learns where the pointer is only when the
  // pointer enters one of its windows, and reports a place of its own until then.
  bool xwayland() const { return xwayland_; }
  Atom wm_protocols() const { return wm_protocols_; }
  Atom wm_delete_window() const { return wm_delete_window_; }
  Cursor invisible_cursor() const { return invisible_cursor_; }
  // The monitors, the primary first, in root-window pixels: Xinerama's
  // screens when it is active, else the whole screen.
  std::vector<gfx::Rect> Monitors();
  // The root's size changes go to `client` (null: to nobody); the root's
  // other events are not ours.
  void WatchScreenChanges(WindowClient* client);
  // True for the events that WatchScreenChanges routes.
  bool IsScreenChange(const XEvent& event) const;
  // True when `window` names a window on the server.
  bool WindowExists(Window window);
  // What "the root window" means to a screen-saver hack: the top-level
  // window that a daemon marked with __SWM_VROOT, else the real root.
  Window VirtualRoot();

  // The registry of our windows.
  struct OwnWindow {
    WindowClient* client = nullptr;
    bool embedded = false;  // put into a preview host's window
    bool topmost = false;   // asked to stay on top
  };
  void Register(Window window, WindowClient* client);
  void Unregister(Window window);
  OwnWindow* Own(Window window);
  std::vector<WindowClient*> Clients() const;
  bool HasClient(const WindowClient* client) const;
  // Routes one event to the window it belongs to; false when none of ours.
  bool Dispatch(XEvent& event);

  // Requests on another program's window can fail whenever that program
  // destroys it; such failures are expected and pass without a word.
  void ExpectErrorsFrom(Window window);

  // Hides the cursor over our windows for a run, or shows it again.
  void SetCursorHidden(bool hidden);
  bool cursor_hidden() const { return cursor_hidden_; }

  // Holds the server's own screen saver (blanking and power saving) off, or
  // lets it run again. The extension's suspension ends with our connection
  // even if the process dies; without the extension the timeout is saved,
  // set to 0 and put back exactly once.
  void SuspendScreenSaver(bool suspend);
  bool screen_saver_suspended() const { return suspended_; }

  // Flushes, puts the screen saver back if we still hold it and closes the
  // connection; later calls do nothing. The destructor does the same.
  void Close();

 private:
  Display() = default;

  ::Display* display_ = nullptr;
  int screen_ = 0;
  Window root_ = None;
  Visual* visual_ = nullptr;
  int depth_ = 24;
  PixelFormat format_;
  double dpi_ = 96.0;
  bool xwayland_ = false;
  Atom wm_protocols_ = None;
  Atom wm_delete_window_ = None;
  Cursor invisible_cursor_ = None;
  std::map<Window, OwnWindow> windows_;
  WindowClient* screen_watcher_ = nullptr;
  int screen_width_ = 0, screen_height_ = 0;
  bool cursor_hidden_ = false;
  bool suspended_ = false;
  bool used_extension_ = false;
  int saved_timeout_ = 0, saved_interval_ = 0, saved_blanking_ = 0, saved_exposures_ = 0;
};

// Catches the protocol errors of the requests made while it lives, instead
// of letting them end the process. Traps nest.
class ErrorTrap {
 public:
  explicit ErrorTrap(::Display* display);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  // Waits until the server has answered every request so far; true when
  // none of those made while the trap lives failed.
  bool Ok();
  int error_code() const { return error_code_; }

 private:
  friend int TrapHandler(::Display*, XErrorEvent*);
  ::Display* display_;
  ErrorTrap* outer_;
  int error_code_ = 0;
};

// Our connection's protocol-error handler: the innermost ErrorTrap takes the
// error, else it is fatal.
int TrapHandler(::Display* display, XErrorEvent* event);

// Reads Xft.dpi from a resource-manager text; 0 when it has none.
double XftDpiOf(const char* resources);

}  // namespace sarvel::x11
