// The X11 scene window on a real server draws the frames the headless
// renderer draws: the same seed, clock, settings, window size and device
// scale give the same pixels, read back from the server.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/gfx/surface.h"
#include "frontends/x11/event_loop.h"
#include "frontends/x11/forms_x11.h"
#include "frontends/x11/scene_window_x11.h"
#include "frontends/x11/x11_display.h"
#include "resources/embedded_resources.h"
#include "tests/frontends/x11/display_required.h"
#include "tests/support/headless_platform.h"
#include "tests/support/scene_run.h"

namespace sarvel::x11 {
namespace {

constexpr int kFrames = 40;

struct FrameCase {
  double scale;
  int width, height;       // device pixels, inside Xvfb's 1024 x 768
  const char* background;  // "1" black, "2" blue, "3" brown
};

headless::SceneRunOptions RunOptions(const FrameCase& c) {
  headless::SceneRunOptions o;
  o.seed = 20261018;
  o.width = c.width;
  o.height = c.height;
  o.scale = c.scale;
  o.Set<&SaverSettings::background_kind>(c.background);
  // The date and time stay out of both: FreeType draws them here, the
  // linked-in atlas there. The web address cannot be switched off; its
  // corner is left out of the comparison (AddressCorner).
  o.Set<&SaverSettings::show_date>("0");
  o.Set<&SaverSettings::show_time>("0");
  return o;
}

// Where either scene printed the web address, with room for the glyphs'
// overhang and the line's offset of one pixel.
gfx::Rect AddressCorner(const Scene& a, const Scene& b) {
  const int margin = int(std::ceil(3 * a.scale()));
  const int left = std::min(a.address_label.left, b.address_label.left) - margin;
  const int top = std::min(a.address_label.top, b.address_label.top) - margin;
  return gfx::Rect{left, top, a.device_width() - left, a.device_height() - top};
}

class SceneFramesX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = testing::OpenTestDisplay();
    if (!display_) FAIL() << testing::DisplayMissing();
    loop_ = std::make_unique<EventLoop>(*display_);
  }

  // Routes the server's events until the window can be seen.
  bool WaitUntilShown(SceneWindowX11& window) {
    ::Display* x = display_->xdisplay();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!window.Visible()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      XSync(x, False);
      while (XPending(x)) {
        XEvent event;
        XNextEvent(x, &event);
        display_->Dispatch(event);
      }
    }
    return true;
  }

  // The window's pixels as the server shows them.
  gfx::Surface ServerImage(Window window, int w, int h) {
    ::Display* x = display_->xdisplay();
    XSync(x, False);
    gfx::Surface out(w, h, gfx::kBlack);
    XImage* shot = XGetImage(x, window, 0, 0, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
    if (!shot) {
      ADD_FAILURE() << "the server gave no image of the window";
      return out;
    }
    for (int py = 0; py < h; ++py) {
      for (int px = 0; px < w; ++px)
        out.row(py)[px] = display_->format().ToArgb(XGetPixel(shot, px, py));
    }
    XDestroyImage(shot);
    return out;
  }

  std::unique_ptr<Display> display_;
  std::unique_ptr<EventLoop> loop_;
};

TEST_F(SceneFramesX11, TheWindowShowsTheHeadlessFrameAtEveryScale) {
  const FrameCase cases[] = {
      {1.0, 1000, 700, "1"}, {1.25, 1000, 700, "2"}, {1.25, 1003, 701, "3"}, {1.5, 1003, 701, "2"},
      {1.5, 1000, 700, "3"}, {2.0, 1000, 740, "2"},  {2.0, 1001, 739, "3"},
  };
  for (const FrameCase& c : cases) {
    SCOPED_TRACE("scale " + std::to_string(c.scale) + ", " + std::to_string(c.width) + " x " +
                 std::to_string(c.height) + ", background " + c.background);
    headless::SceneRunner reference(RunOptions(c));
    ASSERT_TRUE(reference.Start());
    ASSERT_TRUE(reference.RunFrames(kFrames));

    SceneWindowOptions window;
    window.kind = SceneWindowOptions::Kind::kWindowed;
    window.width = c.width;
    window.height = c.height;
    window.scale = c.scale;
    headless::HeadlessProcess process;
    EmbeddedResources resources;
    FormFactoryX11 windows(*display_, *loop_, process, resources, window);
    headless::SceneRunOptions on_x11 = RunOptions(c);
    on_x11.windows = &windows;
    headless::SceneRunner run(on_x11);
    ASSERT_TRUE(run.Start());
    auto& view = static_cast<SceneWindowX11&>(run.form()->view());
    ASSERT_TRUE(WaitUntilShown(view)) << "the window was never mapped";
    ASSERT_TRUE(run.RunFrames(kFrames));
    ASSERT_EQ(view.ClientWidth(), c.width);
    ASSERT_EQ(view.ClientHeight(), c.height);

    const gfx::Surface shown = ServerImage(Window(view.handle()), c.width, c.height);
    const gfx::Surface& expected = reference.WindowImage();
    const gfx::Rect corner = AddressCorner(reference.scene(), run.scene());
    // The corner left out is a small part of the frame.
    ASSERT_LT(int64_t(corner.w) * corner.h * 50, int64_t(c.width) * c.height);
    int differing = 0;
    std::string first;
    for (int py = 0; py < c.height; ++py) {
      for (int px = 0; px < c.width; ++px) {
        if (px >= corner.x && py >= corner.y) continue;
        const gfx::Argb want = expected.at(px, py) & 0xFFFFFF, got = shown.at(px, py) & 0xFFFFFF;
        if (want == got) continue;
        if (differing++ == 0) {
          char text[96];
          std::snprintf(text, sizeof text, "first at (%d, %d): %06X shown, %06X drawn headless", px,
                        py, unsigned(got), unsigned(want));
          first = text;
        }
      }
    }
    EXPECT_EQ(differing, 0) << first;
  }
}

}  // namespace
}  // namespace sarvel::x11
