// The X11 front end's parts on a display (they fail without one): the
// presenter, the scene windows and their desktop captures, the event loop.
#include <X11/Xatom.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "core/gfx/surface.h"
#include "frontends/x11/event_loop.h"
#include "frontends/x11/presenter.h"
#include "frontends/x11/scene_window_x11.h"
#include "frontends/x11/x11_display.h"
#include "tests/frontends/x11/display_required.h"
#include "tests/support/headless_platform.h"

namespace sarvel::x11 {
namespace {

class WithDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = testing::OpenTestDisplay();
    if (!display_) FAIL() << testing::DisplayMissing();
    ::Display* x = display_->xdisplay();
    XSetWindowAttributes a{};
    a.override_redirect = True;
    window_ = XCreateWindow(x, display_->root(), 0, 0, 64, 48, 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWOverrideRedirect, &a);
    XMapRaised(x, window_);
    XSync(x, False);
  }
  void TearDown() override {
    if (display_) XDestroyWindow(display_->xdisplay(), window_);
  }
  // The window's pixels as the server has them.
  gfx::Argb ServerPixel(int px, int py) {
    return testing::ServerImage(*display_, window_, px + 1, py + 1).at(px, py);
  }
  static gfx::Surface Pattern(int w, int h, uint8_t seed) {
    gfx::Surface s(w, h, gfx::kBlack);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x)
        s.row(y)[x] = gfx::Rgb(uint8_t(x * 4 + seed), uint8_t(y * 5), uint8_t(seed));
    }
    return s;
  }
  std::unique_ptr<Display> display_;
  Window window_ = None;
};

// The given parts arrive; pixels between them may come along merged with
// them, from the same image, and nothing else changes.
TEST_F(WithDisplay, PresenterPutsWholeImagesAndTheGivenParts) {
  for (bool shm : {true, false}) {
    SCOPED_TRACE(shm ? "shared memory" : "plain");
    Presenter presenter(*display_, window_, shm);
    const gfx::Surface a = Pattern(64, 48, 10);
    presenter.PutAll(a);
    EXPECT_EQ(presenter.using_shm(), shm && !testing::ServerDeclaredWithoutShm());
    for (auto [px, py] : {std::pair{0, 0}, {63, 47}, {17, 29}})
      EXPECT_EQ(ServerPixel(px, py), a.at(px, py));
    const gfx::Surface b = Pattern(64, 48, 200);
    const gfx::Rect parts[] = {{4, 4, 8, 8},
                               {50, 40, 30, 30}};  // the second one runs over the edge
    presenter.Put(b, parts);
    const gfx::Surface shown = testing::ServerImage(*display_, window_, 64, 48);
    for (int py = 0; py < 48; ++py) {
      for (int px = 0; px < 64; ++px) {
        const gfx::Argb c = shown.at(px, py);
        const bool in_part = (px >= 4 && px < 12 && py >= 4 && py < 12) || (px >= 50 && py >= 40);
        if (in_part)
          ASSERT_EQ(c, b.at(px, py)) << px << "," << py;
        else
          ASSERT_TRUE(c == a.at(px, py) || c == b.at(px, py)) << px << "," << py;
      }
    }
    // A smaller image later (a resize) goes through too.
    const gfx::Surface c = Pattern(32, 16, 90);
    presenter.PutAll(c);
    EXPECT_EQ(ServerPixel(31, 15), c.at(31, 15));
  }
}

// A window image lent the shared segment is drawn into in place: what the
// server shows is what was drawn, through a change of size, and the image
// keeps its picture when the presenter goes.
TEST_F(WithDisplay, SharedImageIsPutWithoutCopiesAndSurvivesThePresenter) {
  gfx::Surface image = Pattern(64, 48, 33);
  {
    Presenter presenter(*display_, window_);
    presenter.Share(image);
    if (testing::ServerDeclaredWithoutShm())
      GTEST_SKIP() << "SARVEL_TEST_NO_SHM=1: no shared memory here";
    ASSERT_TRUE(presenter.using_shm())
        << "the server offers no shared memory (set SARVEL_TEST_NO_SHM=1 if so)";
    if (display_->format().native) {
      EXPECT_TRUE(presenter.shares());
    }
    EXPECT_EQ(image.at(17, 29), Pattern(64, 48, 33).at(17, 29));
    presenter.PutAll(image);
    EXPECT_EQ(ServerPixel(17, 29), image.at(17, 29));
    for (int y = 10; y < 20; ++y) {
      for (int x = 30; x < 40; ++x) image.row(y)[x] = gfx::Rgb(250, 10, 20);
    }
    const gfx::Rect part{30, 10, 10, 10};
    presenter.Put(image, std::span<const gfx::Rect>(&part, 1));
    EXPECT_EQ(ServerPixel(35, 15), gfx::Rgb(250, 10, 20));
    EXPECT_EQ(ServerPixel(5, 5), image.at(5, 5));
    image.Resize(40, 30);  // the window shrank
    presenter.Share(image);
    image.row(29)[39] = gfx::Rgb(1, 200, 3);
    presenter.PutAll(image);
    EXPECT_EQ(ServerPixel(39, 29), gfx::Rgb(1, 200, 3));
    EXPECT_EQ(ServerPixel(35, 15), gfx::Rgb(250, 10, 20));
  }
  EXPECT_FALSE(image.uses_lent_memory());
  EXPECT_EQ(image.at(35, 15), gfx::Rgb(250, 10, 20));
  EXPECT_EQ(image.at(39, 29), gfx::Rgb(1, 200, 3));
  image.row(0)[0] = gfx::kWhite;  // its own memory now: writable after the segment went
}

// Full-screen windows answer with the monitors and the scale; they cover the
// monitor they are given and read the desktop from its place on the screen.
TEST_F(WithDisplay, SceneWindowsCoverTheirMonitorAtTheirScale) {
  EventLoop loop(*display_);
  headless::HeadlessProcess process;
  SceneWindowOptions full;
  full.scale = 2;
  SceneWindowX11 window(*display_, loop, process, full);
  window.Create();
  ASSERT_FALSE(window.Monitors().empty());  // their places: fullscreen_x11.sh, monitors_x11.sh
  EXPECT_DOUBLE_EQ(window.DeviceScale(), 2.0);
  // Twips per logical pixel: the gradient strips keep their 88 pixels.
  EXPECT_EQ(window.TwipsPerPixelX(), 15);

  // A monitor of 40 x 30 at (10, 12): our test window's pattern lies there.
  const gfx::Surface pattern = Pattern(64, 48, 77);
  Presenter(*display_, window_, false).PutAll(pattern);
  window.SetMonitor({10, 12, 40, 30});
  window.Maximize();
  EXPECT_EQ(window.ClientWidth(), 40);
  EXPECT_EQ(window.ClientHeight(), 30);
  gfx::Surface desktop(40, 30, gfx::kBlack);
  window.CaptureDesktop(desktop, 40, 30);
  EXPECT_EQ(desktop.at(0, 0), pattern.at(10, 12));
  EXPECT_EQ(desktop.at(39, 29), pattern.at(49, 41));

  auto sibling = window.CreateSibling();
  ASSERT_TRUE(sibling);
  EXPECT_DOUBLE_EQ(sibling->DeviceScale(), 2.0);
  window.Destroy();

  // The scene font follows the scale.
  SceneWindowOptions plain;
  plain.scale = 1;
  SceneWindowX11 small(*display_, loop, process, plain);
  const int h1 = small.SceneFont().TextHeight("1"), h2 = window.SceneFont().TextHeight("1");
  EXPECT_NEAR(h2, 2 * h1, 2);

  // Only the full-screen kind spans monitors.
  SceneWindowOptions windowed;
  windowed.kind = SceneWindowOptions::Kind::kWindowed;
  SceneWindowX11 other(*display_, loop, process, windowed);
  EXPECT_TRUE(other.Monitors().empty());
  EXPECT_EQ(other.CreateSibling(), nullptr);
}

// Under a screen-saver daemon the screen shows only the daemon's black
// window: the desktop comes from the picture of the whole screen that the
// daemon left on our window, else from the wallpaper the desktop published
// on the root, cut at the window's place. Without either (a picture that is
// gone, a property of another kind) the screen is read under the window,
// which lies over the test window's pattern and shows it.
TEST_F(WithDisplay, HostedWindowTakesTheDesktopAtItsPlace) {
  ::Display* x = display_->xdisplay();
  const gfx::Surface pattern = Pattern(64, 48, 5);
  Presenter(*display_, window_, false).PutAll(pattern);
  XSetWindowAttributes a{};
  a.override_redirect = True;
  const Window host = XCreateWindow(x, display_->root(), 20, 14, 40, 30, 0, CopyFromParent,
                                    InputOutput, CopyFromParent, CWOverrideRedirect, &a);
  XMapRaised(x, host);
  const gfx::Argb outside = gfx::Rgb(200, 0, 0), under = gfx::Rgb(0, 192, 0),
                  corner = gfx::Rgb(1, 2, 250);
  const Pixmap desktop =
      XCreatePixmap(x, display_->root(), unsigned(display_->ScreenWidth()),
                    unsigned(display_->ScreenHeight()), unsigned(display_->depth()));
  GC gc = XCreateGC(x, desktop, 0, nullptr);
  const auto fill = [&](gfx::Argb color, int left, int top, int w, int h) {
    XSetForeground(x, gc, display_->format().FromArgb(color));
    XFillRectangle(x, desktop, gc, left, top, unsigned(w), unsigned(h));
  };
  fill(outside, 0, 0, display_->ScreenWidth(), display_->ScreenHeight());
  fill(under, 20, 14, 40, 30);
  fill(corner, 20, 14, 1, 1);
  fill(corner, 59, 43, 1, 1);
  const Atom screenshot = XInternAtom(x, "_SCREENSAVER_SCREENSHOT", False),
             wallpaper = XInternAtom(x, "_XROOTPMAP_ID", False);
  const auto store = [&](Window on, Atom property, Atom type, unsigned long id) {
    XChangeProperty(x, on, property, type, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&id), 1);
    XSync(x, False);
  };

  EventLoop loop(*display_);
  headless::HeadlessProcess process;
  SceneWindowOptions hosted;
  hosted.kind = SceneWindowOptions::Kind::kHosted;
  hosted.target = host;
  SceneWindowX11 window(*display_, loop, process, hosted);
  window.Create();
  window.Maximize();
  ASSERT_EQ(window.ClientWidth(), 40);
  const auto expect_capture = [&](gfx::Argb top_left, gfx::Argb inside, gfx::Argb bottom_right) {
    gfx::Surface shot(40, 30, gfx::kBlack);
    window.CaptureDesktop(shot, 40, 30);
    EXPECT_EQ(shot.at(0, 0), top_left);
    EXPECT_EQ(shot.at(1, 0), inside);
    EXPECT_EQ(shot.at(39, 29), bottom_right);
  };
  {
    SCOPED_TRACE("the daemon's picture");
    store(host, screenshot, XA_PIXMAP, desktop);
    expect_capture(corner, under, corner);
  }
  {
    SCOPED_TRACE("the published wallpaper");
    store(host, screenshot, XA_CARDINAL, desktop);
    store(display_->root(), wallpaper, XA_PIXMAP, desktop);
    expect_capture(corner, under, corner);
    XDeleteProperty(x, display_->root(), wallpaper);
  }
  {
    SCOPED_TRACE("a property of another type");
    expect_capture(pattern.at(20, 14), pattern.at(21, 14), pattern.at(59, 43));
  }
  {
    SCOPED_TRACE("the picture was freed");
    store(host, screenshot, XA_PIXMAP, desktop);
    XFreePixmap(x, desktop);
    expect_capture(pattern.at(20, 14), pattern.at(21, 14), pattern.at(59, 43));
  }
  window.Destroy();
  XFreeGC(x, gc);
  XDestroyWindow(x, host);
}

TEST_F(WithDisplay, TimersKeepTheirCadenceAndNeverNest) {
  // The loop's time moves by a millisecond whenever control comes back to
  // it, and by 30 in one slow tick: the cadence is judged on that time, not
  // on how busy the machine is.
  EventLoop::Clock::time_point now{};
  const auto elapsed_ms = [&] {
    return int(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count());
  };
  EventLoop loop(*display_, [&] { return now; });
  const auto pass_a_millisecond = [&] { now += std::chrono::milliseconds(1); };
  std::vector<int> ticked_at;
  bool inside = false, nested = false;
  EventLoop::Timer* timer = nullptr;
  timer = loop.AddTimer([&] {
    nested |= inside;
    inside = true;
    ticked_at.push_back(elapsed_ms());
    if (ticked_at.size() == 3) now += std::chrono::milliseconds(30);  // one slow tick
    if (ticked_at.size() == 20) loop.Quit();
    inside = false;
  });
  timer->SetInterval(10);
  timer->Enable(true);
  loop.Run(pass_a_millisecond);
  ASSERT_EQ(ticked_at.size(), 20u);
  EXPECT_FALSE(nested);
  // Due every 10 ms. The tick after the slow one comes at once and the
  // cadence goes on from there: no burst of the missed ones, no drift.
  for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(ticked_at[i], 10 * int(i + 1), 1) << "tick " << i + 1;
  const int slow_tick_ended = ticked_at[2] + 30;
  for (size_t i = 3; i < ticked_at.size(); ++i)
    EXPECT_NEAR(ticked_at[i], slow_tick_ended + 10 * int(i - 3), 2) << "tick " << i + 1;
  // A disabled timer stays quiet; a removed one is gone.
  timer->Enable(false);
  EventLoop::Timer* stopper = loop.AddTimer([&] { loop.Quit(); });
  stopper->SetInterval(50);
  stopper->Enable(true);
  loop.Run(pass_a_millisecond);
  EXPECT_EQ(ticked_at.size(), 20u);
  loop.RemoveTimer(timer);
  loop.RemoveTimer(stopper);
}

}  // namespace
}  // namespace sarvel::x11
