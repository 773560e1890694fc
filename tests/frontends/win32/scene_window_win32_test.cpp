// The Win32 scene window as the scene sees it: whether anyone can see it
// (monitor power, minimized), repainting only the parts asked for, and which
// input it reports.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/gfx/painter.h"
#include "frontends/win32/guard.h"
#include "frontends/win32/scene_window_win32.h"
#include "tests/support/headless_platform.h"

namespace sarvel {
namespace {

// GUID_MONITOR_POWER_STATE and another setting's GUID.
constexpr GUID kMonitorPower = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
constexpr GUID kOtherSetting = {
    0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};

class NoEvents : public SceneEvents {
 public:
  void OnResize() override { ++resizes; }
  void OnTimer() override {}
  void OnMouseMove(float x, float y) override { moves.push_back({x, y}); }
  void OnMouseDown() override { ++downs; }
  void OnClick() override {}
  void OnDblClick() override {}
  void OnKeyDown() override {}
  void OnKeyPress() override {}
  void OnTerminate() override {}
  int resizes = 0;
  int downs = 0;
  std::vector<std::pair<float, float>> moves;
};

void SendPower(HWND hwnd, const GUID& setting, DWORD state) {
  std::vector<unsigned char> buf(sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD));
  auto* s = reinterpret_cast<POWERBROADCAST_SETTING*>(buf.data());
  s->PowerSetting = setting;
  s->DataLength = sizeof(DWORD);
  std::memcpy(s->Data, &state, sizeof state);
  SendMessageW(hwnd, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(s));
}

class SceneWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.SetEvents(&events_);
    window_.Create();
    hwnd_ = reinterpret_cast<HWND>(window_.handle());
    ASSERT_NE(hwnd_, nullptr);
    window_.Maximize();
    window_.Show(ShowMode::kModeless);
  }
  void TearDown() override { window_.Destroy(); }

  COLORREF Shown(int x, int y) {
    HDC dc = GetDC(hwnd_);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd_, dc);
    return c;
  }

  headless::HeadlessProcess process_;
  NoEvents events_;
  win32::SceneWindowWin32 window_{process_};
  HWND hwnd_ = nullptr;
};

TEST_F(SceneWindow, IsVisibleUnlessTheMonitorIsOffOrItIsMinimized) {
  EXPECT_TRUE(window_.Visible());
  SendPower(hwnd_, kMonitorPower, 0);
  EXPECT_FALSE(window_.Visible());
  SendPower(hwnd_, kOtherSetting, 1);
  EXPECT_FALSE(window_.Visible()) << "another setting says nothing about the monitor";
  SendPower(hwnd_, kMonitorPower, 2);
  EXPECT_TRUE(window_.Visible()) << "a dimmed screen is still seen";
  SendPower(hwnd_, kMonitorPower, 0);
  SendPower(hwnd_, kMonitorPower, 1);
  EXPECT_TRUE(window_.Visible());

  const int resizes = events_.resizes;
  ShowWindow(hwnd_, SW_MINIMIZE);
  EXPECT_FALSE(window_.Visible());
  EXPECT_EQ(events_.resizes, resizes) << "minimizing is no layout";
  ShowWindow(hwnd_, SW_RESTORE);
  EXPECT_TRUE(window_.Visible());
  ShowWindow(hwnd_, SW_HIDE);
  EXPECT_FALSE(window_.Visible());
}

TEST_F(SceneWindow, RepaintsExactlyThePartsAskedFor) {
  gfx::Surface& image = window_.WindowImage();
  ASSERT_GT(image.width(), 300);
  ASSERT_GT(image.height(), 200);
  gfx::FillRect(image, image.bounds(), gfx::Rgb(0, 0, 200));
  window_.Refresh();
  ASSERT_EQ(Shown(250, 150), RGB(0, 0, 200));

  // New pixels everywhere in the image, but only two parts repainted.
  gfx::FillRect(image, image.bounds(), gfx::Rgb(200, 0, 0));
  const gfx::Rect parts[] = {{10, 20, 30, 40}, {200, 101, 7, 3}};
  window_.RefreshRects(parts);
  for (const gfx::Rect& r : parts) {
    for (int y : {r.y, r.bottom() - 1}) {
      for (int x : {r.x, r.right() - 1}) EXPECT_EQ(Shown(x, y), RGB(200, 0, 0)) << x << "," << y;
    }
    EXPECT_EQ(Shown(r.x - 1, r.y), RGB(0, 0, 200));
    EXPECT_EQ(Shown(r.x, r.y - 1), RGB(0, 0, 200));
    EXPECT_EQ(Shown(r.right(), r.bottom() - 1), RGB(0, 0, 200));
    EXPECT_EQ(Shown(r.right() - 1, r.bottom()), RGB(0, 0, 200));
  }
  EXPECT_EQ(Shown(250, 150), RGB(0, 0, 200));
  // Parts reaching past the edges are cut to the window.
  const gfx::Rect edge[] = {{image.width() - 5, image.height() - 5, 50, 50}, {-20, -20, 25, 25}};
  window_.RefreshRects(edge);
  EXPECT_EQ(Shown(image.width() - 1, image.height() - 1), RGB(200, 0, 0));
  EXPECT_EQ(Shown(0, 0), RGB(200, 0, 0));
  EXPECT_EQ(Shown(6, 6), RGB(0, 0, 200));
}

// A change of pixel density moves and sizes the window to the rectangle the
// system suggests and lays the scene out anew, also when the size stays (the
// scale changed under it); a message without a rectangle changes nothing.
TEST_F(SceneWindow, DpiChangeTakesTheSuggestedRectangleAndLaysOutAnew) {
  ShowWindow(hwnd_, SW_RESTORE);
  const int before = events_.resizes;
  RECT smaller{40, 30, 40 + 320, 30 + 200};
  SendMessageW(hwnd_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&smaller));
  EXPECT_EQ(window_.WindowImage().width(), 320);
  EXPECT_EQ(window_.WindowImage().height(), 200);
  EXPECT_EQ(window_.ClientWidth(), 320);
  EXPECT_GT(events_.resizes, before);
  RECT placed{};
  GetWindowRect(hwnd_, &placed);
  EXPECT_EQ(placed.left, 40);
  EXPECT_EQ(placed.top, 30);

  const int at_same_size = events_.resizes;
  SendMessageW(hwnd_, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&smaller));
  EXPECT_EQ(events_.resizes, at_same_size + 1) << "the same size at another scale is laid out once";

  const int without = events_.resizes;
  SendMessageW(hwnd_, WM_DPICHANGED, MAKEWPARAM(192, 192), 0);
  EXPECT_EQ(events_.resizes, without);
  EXPECT_EQ(window_.WindowImage().width(), 320);
}

// Turning either wheel is a touch of the mouse as a button press is; a
// move reports the client position in device pixels.
TEST_F(SceneWindow, WheelsPressAButtonAndMovesReportDevicePixels) {
  SendMessageW(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(300, 200));
  EXPECT_EQ(events_.downs, 1);
  SendMessageW(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(300, 200));
  EXPECT_EQ(events_.downs, 2);
  SendMessageW(hwnd_, WM_MOUSEHWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(300, 200));
  EXPECT_EQ(events_.downs, 3);
  SendMessageW(hwnd_, WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(events_.downs, 4);

  events_.moves.clear();
  SendMessageW(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(123, 45));
  ASSERT_EQ(events_.moves.size(), 1u);
  EXPECT_EQ(events_.moves[0], std::make_pair(123.0f, 45.0f));
}

}  // namespace
}  // namespace sarvel
