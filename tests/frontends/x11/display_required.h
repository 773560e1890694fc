// The X server of the tests that need one. Without it they fail: a suite
// that passes because it could not look has proved nothing.
#pragma once

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "core/gfx/surface.h"
#include "frontends/x11/x11_display.h"

namespace sarvel::testing {

inline std::string DisplayMissing(const std::string& what = "an X display") {
  const char* name = std::getenv("DISPLAY");
  return "needs " + what + ": DISPLAY=" + (name && *name ? name : "(unset)") + " not reachable";
}

// A busy server now and then hangs up on a new client during the setup: the
// connection is tried again until a deadline. No DISPLAY at all fails at once.
inline std::unique_ptr<x11::Display> OpenTestDisplay() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return nullptr;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    if (std::unique_ptr<x11::Display> display = x11::Display::Open()) return display;
    if (std::chrono::steady_clock::now() > deadline) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// Only a server declared to lack shared memory (SARVEL_TEST_NO_SHM=1) may
// leave the presenter without it; Xvfb and Xorg have it.
inline bool ServerDeclaredWithoutShm() {
  const char* declared = std::getenv("SARVEL_TEST_NO_SHM");
  return declared && std::string(declared) == "1";
}

// The pixels of `window`, w x h from its corner, as the server shows them.
inline gfx::Surface ServerImage(x11::Display& display, Window window, int w, int h) {
  XSync(display.xdisplay(), False);
  gfx::Surface out(w, h, gfx::kBlack);
  XImage* shot =
      XGetImage(display.xdisplay(), window, 0, 0, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
  if (!shot) return out;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) out.row(y)[x] = display.format().ToArgb(XGetPixel(shot, x, y));
  }
  XDestroyImage(shot);
  return out;
}

}  // namespace sarvel::testing
