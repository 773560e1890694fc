// make_window: a plain X window for the end-to-end tests to host the saver in,
// as a screen-saver daemon or the display settings would. Prints the window's
// id (decimal) and then answers commands read line by line from stdin:
//   resize W H   resize the window
//   others       the events other clients selected on the window (decimal mask)
//   vroot        mark the window as the virtual root (__SWM_VROOT), as a
//                screen-saver daemon marks its own
//   destroy      destroy the window
//   close ID     ask window ID to close, as a window manager does
//                (WM_DELETE_WINDOW)
//   quit         end (so does the end of stdin)
// Each command is answered with one line once the server has carried it out.
// usage: make_window WIDTH HEIGHT
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_window WIDTH HEIGHT\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "make_window: no display\n");
    return 1;
  }
  const int screen = DefaultScreen(d);
  XSetWindowAttributes a{};
  // Magenta, which nothing in the scene is: pixels of this colour are ours.
  a.background_pixel = 0xFF00FF;
  a.override_redirect = True;
  Window w = XCreateWindow(d, RootWindow(d, screen), 10, 10, unsigned(std::atoi(argv[1])),
                           unsigned(std::atoi(argv[2])), 0, CopyFromParent, InputOutput,
                           CopyFromParent, CWBackPixel | CWOverrideRedirect, &a);
  XStoreName(d, w, "make_window");
  XMapRaised(d, w);
  XSync(d, False);
  std::printf("%lu\n", w);
  std::fflush(stdout);

  std::string pending;
  for (;;) {
    pollfd fds[2] = {{0, POLLIN, 0}, {ConnectionNumber(d), POLLIN, 0}};
    ::poll(fds, 2, 1000);
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
    }
    if (!(fds[0].revents & (POLLIN | POLLHUP))) continue;
    char buf[256];
    const ssize_t n = ::read(0, buf, sizeof buf);
    if (n <= 0) break;
    pending.append(buf, size_t(n));
    size_t eol;
    while ((eol = pending.find('\n')) != std::string::npos) {
      std::istringstream line(pending.substr(0, eol));
      pending.erase(0, eol + 1);
      std::string cmd;
      line >> cmd;
      if (cmd == "resize") {
        unsigned width = 0, height = 0;
        line >> width >> height;
        XResizeWindow(d, w, width, height);
        XSync(d, False);
        std::printf("ok\n");
      } else if (cmd == "others") {
        XWindowAttributes wa;
        XGetWindowAttributes(d, w, &wa);
        std::printf("%ld\n", wa.all_event_masks & ~wa.your_event_mask);
      } else if (cmd == "vroot") {
        XChangeProperty(d, w, XInternAtom(d, "__SWM_VROOT", False), XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&w), 1);
        XSync(d, False);
        std::printf("ok\n");
      } else if (cmd == "destroy") {
        XDestroyWindow(d, w);
        XSync(d, False);
        std::printf("ok\n");
      } else if (cmd == "close") {
        unsigned long target = 0;
        line >> target;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = Window(target);
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, Window(target), False, NoEventMask, &e);
        XSync(d, False);
        std::printf("ok\n");
      } else if (cmd == "quit") {
        XCloseDisplay(d);
        return 0;
      } else {
        std::printf("?\n");
      }
      std::fflush(stdout);
    }
  }
  XCloseDisplay(d);
  return 0;
}
