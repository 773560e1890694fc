// Win32: the full-screen scene window.
#include "frontends/win32/scene_window_win32.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "frontends/win32/dib_info.h"
#include "frontends/win32/guard.h"
#include "resources/embedded_resources.h"

namespace sarvel::win32 {
namespace {

constexpr UINT_PTR kFrameTimer = 1;

// GUID_MONITOR_POWER_STATE: the display's power, 0 off, 1 on, 2 dimmed.
constexpr GUID kMonitorPowerState = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

// Draws the part r of a surface to the same place of a device context. The
// bitmap handed over starts at r's first row and is exactly r's rows tall,
// so no source offset depends on how the system reads top-down bitmaps.
void PaintPart(HDC dc, const gfx::Surface& s, const gfx::Rect& part) {
  const gfx::Rect r = part.Intersected(s.bounds());
  if (r.empty()) return;
  BITMAPINFO bi = TopDownDibInfo(s.width(), r.h);
  SetDIBitsToDevice(dc, r.x, r.y, DWORD(r.w), DWORD(r.h), r.x, 0, 0, UINT(r.h), s.row(r.y), &bi,
                    DIB_RGB_COLORS);
}

}  // namespace

void PaintParts(HDC dc, const gfx::Surface& s, std::span<const gfx::Rect> parts) {
  for (const gfx::Rect& r : parts) PaintPart(dc, s, r);
}

namespace {

struct MonitorList {
  std::vector<gfx::Rect> monitors;
  size_t primary = 0;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto& list = *reinterpret_cast<MonitorList*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  const gfx::Rect rect{int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top)};
  if (rect.empty()) return TRUE;
  // Mirrored displays are one monitor to us.
  for (const gfx::Rect& m : list.monitors) {
    if (m.x == rect.x && m.y == rect.y && m.w == rect.w && m.h == rect.h) return TRUE;
  }
  if (info.dwFlags & MONITORINFOF_PRIMARY) list.primary = list.monitors.size();
  list.monitors.push_back(rect);
  return TRUE;
}

}  // namespace

SceneWindowWin32::~SceneWindowWin32() { Destroy(); }

void SceneWindowWin32::Create() {
  image_.set_back_color(gfx::kBlack);
  CreateHidden(L"SarvelScene", WS_POPUP | WS_CLIPCHILDREN, 0, nullptr, CS_DBLCLKS,
               static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  // Without it (older systems) the monitor simply counts as always on.
  if (hwnd_)
    power_notify_ =
        RegisterPowerSettingNotification(hwnd_, &kMonitorPowerState, DEVICE_NOTIFY_WINDOW_HANDLE);
}

WindowHandle SceneWindowWin32::handle() const { return reinterpret_cast<intptr_t>(hwnd_); }
void SceneWindowWin32::SetEvents(SceneEvents* events) { events_ = events; }
gfx::Surface& SceneWindowWin32::WindowImage() { return image_; }

void SceneWindowWin32::Show(ShowMode) {
  if (!hwnd_) return;
  if (sibling_) {
    // The focus and the keys stay with the scene form's window.
    ShowWindow(hwnd_, SW_SHOWNA);
    return;
  }
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(hwnd_);
}

void SceneWindowWin32::Destroy() {
  if (hwnd_ && timer_on_) KillTimer(hwnd_, kFrameTimer);
  timer_on_ = false;
  if (power_notify_) UnregisterPowerSettingNotification(power_notify_);
  power_notify_ = nullptr;
  DestroyNow();
}

void SceneWindowWin32::Maximize() {
  if (!hwnd_) return;
  // The window's monitor (else the primary screen), in real pixels (the
  // program is DPI aware). The window stays hidden: the layout that this size
  // change runs captures the desktop before the scene covers it.
  const gfx::Rect m =
      has_monitor_ ? monitor_
                   : gfx::Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SetWindowPos(hwnd_, nullptr, m.x, m.y, m.w, m.h, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<gfx::Rect> SceneWindowWin32::Monitors() {
  MonitorList found;
  EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&found));
  if (found.monitors.empty()) {
    return {gfx::Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}};
  }
  std::swap(found.monitors[0], found.monitors[found.primary]);
  return found.monitors;
}

void SceneWindowWin32::SetMonitor(const gfx::Rect& monitor) {
  monitor_ = monitor;
  has_monitor_ = !monitor.empty();
}

std::unique_ptr<SceneView> SceneWindowWin32::CreateSibling() {
  return std::make_unique<SceneWindowWin32>(process_, true);
}

void SceneWindowWin32::StayOnTop() {
  if (hwnd_)
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

double SceneWindowWin32::DeviceScale() { return double(DpiOf(hwnd_)) / 96.0; }

void SceneWindowWin32::SetTimerInterval(int32_t ms) {
  interval_ = UINT(std::max<int32_t>(ms, USER_TIMER_MINIMUM));
  if (timer_on_ && hwnd_) SetTimer(hwnd_, kFrameTimer, interval_, nullptr);
}

void SceneWindowWin32::EnableTimer(bool enabled) {
  if (!hwnd_) return;
  if (enabled && !timer_on_) SetTimer(hwnd_, kFrameTimer, interval_, nullptr);
  if (!enabled && timer_on_) KillTimer(hwnd_, kFrameTimer);
  timer_on_ = enabled;
}

void SceneWindowWin32::CaptureDesktop(gfx::Surface& into, int w, int h) {
  if (w <= 0 || h <= 0) return;
  HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (!screen) return;
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi = TopDownDibInfo(w, h);
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bmp && bits) {
    HGDIOBJ old = SelectObject(mem, bmp);
    // The screen's device context spans the virtual screen, the primary
    // monitor's corner at (0, 0): the others may lie at negative places.
    // A desktop that is not ours to read (a secure desktop) fails here.
    if (BitBlt(mem, 0, 0, w, h, screen, has_monitor_ ? monitor_.x : 0,
               has_monitor_ ? monitor_.y : 0, SRCCOPY)) {
      GdiFlush();
      const auto* src = static_cast<const uint32_t*>(bits);
      const int rows = std::min(h, into.height());
      const int cols = std::min(w, into.width());
      for (int y = 0; y < rows; ++y) {
        gfx::Argb* out = into.row(y);
        for (int x = 0; x < cols; ++x)
          out[x] = 0xFF000000u | src[size_t(y) * size_t(w) + size_t(x)];
      }
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
  }
  DeleteDC(mem);
  DeleteDC(screen);
}

void SceneWindowWin32::Refresh() {
  if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
  HDC dc = GetDC(hwnd_);
  PaintSurface(dc, image_, 0, 0);
  ReleaseDC(hwnd_, dc);
  ValidateRect(hwnd_, nullptr);
}

void SceneWindowWin32::RefreshRects(std::span<const gfx::Rect> rects) {
  if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
  HDC dc = GetDC(hwnd_);
  PaintParts(dc, image_, merger_.Merge(rects, image_.bounds()));
  ReleaseDC(hwnd_, dc);
}

bool SceneWindowWin32::Visible() {
  return hwnd_ && monitor_on_ && !minimized_ && IsWindowVisible(hwnd_) && !IsIconic(hwnd_);
}

const gfx::Font& SceneWindowWin32::SceneFont() {
  if (!font_looked_up_) {
    font_looked_up_ = true;
    gdi_font_ = GdiFont::Create(DpiOf(hwnd_));
  }
  // Without either face the scene keeps its own pre-rendered look-alike.
  if (gdi_font_) return *gdi_font_;
  return EmbeddedSceneFont();
}

void SceneWindowWin32::Deliver(auto&& fn) {
  if (events_) Guarded(process_, fn);
}

LRESULT SceneWindowWin32::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE: {
      const int w = LOWORD(lp), h = HIWORD(lp);
      minimized_ = wp == SIZE_MINIMIZED;
      if (minimized_ || (w == image_.width() && h == image_.height())) return 0;
      image_.Resize(w, h);
      Deliver([&] { events_->OnResize(); });
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      const RECT& r = ps.rcPaint;
      PaintPart(dc, image_,
                gfx::Rect{int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top)});
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintSurface(reinterpret_cast<HDC>(wp), image_, 0, 0);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_DISPLAYCHANGE:
      // Monitors came, went or took a new size: the form lays its scenes out
      // anew over them.
      Deliver([&] { events_->OnDisplayChange(); });
      return 0;
    case WM_DPICHANGED: {
      // The font goes to the new size on the next frame; the new size, or
      // the old one at the new scale, is laid out anew.
      const RECT* r = reinterpret_cast<const RECT*>(lp);
      if (!r) return 0;  // not from the system: nothing to go by
      gdi_font_.reset();
      font_looked_up_ = false;
      const int w = int(r->right - r->left), h = int(r->bottom - r->top);
      const bool same = w == image_.width() && h == image_.height();
      SetWindowPos(hwnd_, nullptr, r->left, r->top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
      if (same) Deliver([&] { events_->OnResize(); });
      return 0;
    }
    case WM_POWERBROADCAST:
      if (wp == PBT_POWERSETTINGCHANGE) {
        const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lp);
        if (setting && IsEqualGUID(setting->PowerSetting, kMonitorPowerState) &&
            setting->DataLength >= sizeof(DWORD)) {
          DWORD state = 0;
          std::memcpy(&state, setting->Data, sizeof state);
          monitor_on_ = state != 0;  // dimmed is still seen
        }
        return TRUE;
      }
      break;
    case WM_TIMER:
      if (wp == kFrameTimer) Deliver([&] { events_->OnTimer(); });
      return 0;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return TRUE;
    case WM_MOUSEMOVE:
      Deliver([&] { events_->OnMouseMove(float(GET_X_LPARAM(lp)), float(GET_Y_LPARAM(lp))); });
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    // A turn of either wheel is a touch of the mouse, as on X11 where the
    // wheels are buttons.
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      Deliver([&] { events_->OnMouseDown(); });
      return 0;
    case WM_LBUTTONUP:
      Deliver([&] { events_->OnClick(); });
      return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      Deliver([&] { events_->OnDblClick(); });
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      Deliver([&] { events_->OnKeyDown(); });
      return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
      Deliver([&] { events_->OnKeyPress(); });
      return 0;
    case WM_SYSCOMMAND:
      // No second saver on top of this one, and no menu.
      if ((wp & 0xFFF0) == SC_SCREENSAVE || (wp & 0xFFF0) == SC_KEYMENU) return 0;
      break;
    case WM_CLOSE:
    case WM_ENDSESSION:
      if (msg == WM_ENDSESSION && !wp) break;
      Deliver([&] { events_->OnTerminate(); });
      return 0;
    default:
      break;
  }
  return WindowBase::OnMessage(msg, wp, lp);
}

}  // namespace sarvel::win32
