// X11: the runtime services.
#include "frontends/x11/x11_services.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace sarvel::x11 {
namespace {

Window AsWindow(WindowHandle h) { return Window(uint64_t(h)); }

}  // namespace

// ---- SaverSystem

void X11System::SetScreenSaverActive(bool active) {
  if (!hosted_) display_.SuspendScreenSaver(!active);
}

void X11System::SetSaverRunning(bool running) { running_ = running; }

void X11System::SetCursorHidden(bool hidden) { display_.SetCursorHidden(hidden); }

PixelSize X11System::PreviewHostSize(WindowHandle host) {
  if (host == 0) return {};
  ::Display* x = display_.xdisplay();
  ErrorTrap trap(x);
  XWindowAttributes a;
  if (XGetWindowAttributes(x, AsWindow(host), &a) && trap.Ok()) return {a.width, a.height};
  return {};
}

void X11System::EmbedInPreviewHost(WindowHandle window, WindowHandle host) {
  ::Display* x = display_.xdisplay();
  ErrorTrap trap(x);
  XReparentWindow(x, AsWindow(window), host != 0 ? AsWindow(host) : display_.root(), 0, 0);
  if (Display::OwnWindow* own = display_.Own(AsWindow(window))) own->embedded = true;
  trap.Ok();
}

void X11System::ShowInPreviewHost(WindowHandle window, int32_t width, int32_t height) {
  if (hosted_) return;
  ::Display* d = display_.xdisplay();
  const Window w = AsWindow(window);
  ErrorTrap trap(d);
  // X has no empty windows: 0 x 0 becomes the smallest there is.
  XMoveResizeWindow(d, w, 0, 0, unsigned(std::max(1, width)), unsigned(std::max(1, height)));
  XMapWindow(d, w);
  trap.Ok();
}

bool X11System::KeepOnTop(WindowHandle window, bool on_top, bool) {
  if (hosted_) return true;
  ::Display* d = display_.xdisplay();
  const Window w = AsWindow(window);
  ErrorTrap trap(d);
  if (Display::OwnWindow* own = display_.Own(w)) own->topmost = on_top;
  if (on_top) XRaiseWindow(d, w);
  return trap.Ok();
}

SystemDescription X11System::DescribeSystem() { return DescribeThisLinux(); }

// ---- Process

X11Process::X11Process(Display& display, const std::string& executable_path, bool hosted)
    : display_(display), lock_(InstanceLockPath(executable_path)), hosted_(hosted) {}

void X11Process::EndProgram() {
  display_.Close();
  std::fflush(nullptr);
  std::exit(0);
}

void X11Process::FatalError(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  display_.Close();
  std::exit(1);
}

void X11Process::Beep() {
  if (!display_.xdisplay()) return;
  XBell(display_.xdisplay(), 0);
  XFlush(display_.xdisplay());
}

}  // namespace sarvel::x11
