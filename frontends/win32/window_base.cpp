// Win32: the window class plumbing, surface painting and the modal loop.
#include "frontends/win32/window_base.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "frontends/win32/dib_info.h"

namespace sarvel::win32 {

HINSTANCE ThisModule() { return GetModuleHandleW(nullptr); }

WindowBase::~WindowBase() { DestroyNow(); }

bool WindowBase::CreateHidden(const wchar_t* class_name, DWORD style, DWORD ex_style, HWND parent,
                              UINT class_style, HBRUSH background) {
  static std::unordered_map<std::wstring, bool> registered;
  if (!registered[class_name]) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = class_style;
    wc.lpfnWndProc = &WindowBase::Dispatch;
    wc.hInstance = ThisModule();
    wc.hIcon = LoadIconW(ThisModule(), MAKEINTRESOURCEW(1));
    wc.hCursor = nullptr;
    wc.hbrBackground = background;
    wc.lpszClassName = class_name;
    RegisterClassExW(&wc);
    registered[class_name] = true;
  }
  hwnd_ = CreateWindowExW(ex_style, class_name, L"Sarvel", style, 0, 0, 0, 0, parent, nullptr,
                          ThisModule(), this);
  return hwnd_ != nullptr;
}

void WindowBase::DestroyNow() {
  if (hwnd_ && IsWindow(hwnd_)) {
    HWND h = hwnd_;
    DestroyWindow(h);
  }
  hwnd_ = nullptr;
}

LRESULT WindowBase::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK WindowBase::Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<WindowBase*>(cs->lpCreateParams)->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
    self->OnDestroyed();
    return r;
  }
  return self->OnMessage(msg, wp, lp);
}

UINT ImageRequestMessage() {
  static const UINT message = RegisterWindowMessageW(L"Sarvel.WindowImageRequest");
  return message;
}

void SendImageCopy(HWND from, HWND to, const gfx::Surface& s) {
  if (!to || !IsWindow(to)) return;
  std::vector<uint32_t> data;
  data.reserve(2 + size_t(s.width()) * size_t(s.height()));
  data.push_back(uint32_t(s.width()));
  data.push_back(uint32_t(s.height()));
  for (int y = 0; y < s.height(); ++y) data.insert(data.end(), s.row(y), s.row(y) + s.width());
  COPYDATASTRUCT cds{kImageCopyTag, DWORD(data.size() * sizeof(uint32_t)), data.data()};
  SendMessageW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&cds));
}

void PaintSurface(HDC dc, const gfx::Surface& s, int x, int y) {
  if (s.width() <= 0 || s.height() <= 0) return;
  BITMAPINFO bi = TopDownDibInfo(s.width(), s.height());  // top-down, as the surface keeps its rows
  SetDIBitsToDevice(dc, x, y, DWORD(s.width()), DWORD(s.height()), 0, 0, 0, UINT(s.height()),
                    s.row(0), &bi, DIB_RGB_COLORS);
}

UINT DpiOf(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static auto fn = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (fn && hwnd) {
    const UINT dpi = fn(hwnd);
    if (dpi) return dpi;
  }
  // Windows 8.1 knows the monitor's DPI, not the window's.
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static auto for_monitor = [] {
    HMODULE shcore = LoadLibraryW(L"shcore.dll");
    return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  if (for_monitor && hwnd) {
    UINT x = 0, y = 0;
    if (SUCCEEDED(for_monitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), 0, &x, &y)) && x)
      return x;
  }
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? UINT(dpi) : 96;
}

void RunModalLoop(HWND owner, const bool& done) {
  const bool owner_was_enabled = owner && IsWindowEnabled(owner);
  if (owner_was_enabled) EnableWindow(owner, FALSE);
  MSG msg{};
  while (!done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (msg.message == WM_QUIT) PostQuitMessage(int(msg.wParam));
  if (owner_was_enabled && IsWindow(owner)) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
}

}  // namespace sarvel::win32
