// Win32: shared parts of the settings dialog and the about box.
#include "frontends/win32/dialog_support.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>

#include "frontends/win32/gdi_font.h"

namespace sarvel::win32 {
namespace {

// Looked up at run time: older systems lack the per-monitor calls, and the
// theme library may be absent.
template <class Fn>
Fn Lookup(const wchar_t* module, const char* name) {
  HMODULE m = GetModuleHandleW(module);
  if (!m) m = LoadLibraryW(module);
  return m ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

struct Theme {
  using OpenFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
  using CloseFn = HRESULT(WINAPI*)(HTHEME);
  using DrawFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
  using ContentFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, LPRECT);
  using ThemedFn = BOOL(WINAPI*)();
  OpenFn open = Lookup<OpenFn>(L"uxtheme.dll", "OpenThemeData");
  CloseFn close = Lookup<CloseFn>(L"uxtheme.dll", "CloseThemeData");
  DrawFn draw = Lookup<DrawFn>(L"uxtheme.dll", "DrawThemeBackground");
  ContentFn content = Lookup<ContentFn>(L"uxtheme.dll", "GetThemeBackgroundContentRect");
  ThemedFn themed = Lookup<ThemedFn>(L"uxtheme.dll", "IsAppThemed");
  bool usable() const { return open && close && draw && content && themed && themed(); }
};

const Theme& ThemeApi() {
  static const Theme theme;
  return theme;
}

std::vector<HWND>& DialogWindows() {
  static std::vector<HWND> windows;
  return windows;
}
HHOOK g_keys_hook = nullptr;

LRESULT CALLBACK DialogKeysHook(int code, WPARAM remove, LPARAM lp) {
  MSG* m = reinterpret_cast<MSG*>(lp);
  if (code == HC_ACTION && remove == PM_REMOVE && m->message >= WM_KEYFIRST &&
      m->message <= WM_KEYLAST) {
    HWND root = m->hwnd ? GetAncestor(m->hwnd, GA_ROOT) : nullptr;
    const auto& windows = DialogWindows();
    if (root && std::find(windows.begin(), windows.end(), root) != windows.end()) {
      const bool enter_or_escape =
          m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE);
      if (enter_or_escape && SendMessageW(root, kDialogKeyMessage, m->wParam, 0) != 0) {
        m->message = WM_NULL;
      } else if (IsDialogMessageW(root, m)) {
        m->message = WM_NULL;
      }
    }
  }
  return CallNextHookEx(g_keys_hook, code, remove, lp);
}

BOOL CALLBACK CollectEnabled(HWND window, LPARAM out) {
  auto& list = *reinterpret_cast<std::vector<HWND>*>(out);
  if (IsWindowVisible(window) && IsWindowEnabled(window)) list.push_back(window);
  return TRUE;
}

}  // namespace

RECT PxRect(int left, int top, int width, int height, int dpi) {
  const int l = Px(left, dpi), t = Px(top, dpi);
  return RECT{l, t, l + Px(width, dpi), t + Px(height, dpi)};
}

SIZE OuterSize(SIZE client, DWORD style, DWORD ex_style, int dpi) {
  static const auto adjust =
      Lookup<AdjustWindowRectExForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT r{0, 0, client.cx, client.cy};
  if (!adjust || !adjust(&r, style, FALSE, ex_style, UINT(dpi)))
    AdjustWindowRectEx(&r, style, FALSE, ex_style);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

HFONT CreateDialogFont(int dpi, int point_x100, bool bold, bool underline, DialogFace face) {
  static const auto spi_for_dpi =
      Lookup<SystemParametersInfoForDpiFn>(L"user32.dll", "SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  bool have =
      spi_for_dpi && spi_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, UINT(dpi));
  if (!have) have = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW lf{};
  if (have)
    lf = metrics.lfMessageFont;
  else
    lstrcpynW(lf.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
  static const bool sans_serif_installed = FontFamilyInstalled(L"Microsoft Sans Serif");
  if (face == DialogFace::kSansSerif && sans_serif_installed)
    lstrcpynW(lf.lfFaceName, L"Microsoft Sans Serif", LF_FACESIZE);
  lf.lfHeight = -MulDiv(point_x100, dpi, 7200);
  lf.lfWidth = 0;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = FALSE;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfQuality = CLEARTYPE_QUALITY;
  return CreateFontIndirectW(&lf);
}

HWND HiddenOwner() {
  static HWND owner = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SarvelOwner";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"Sarvel", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           wc.hInstance, nullptr);
  }();
  return owner;
}

void AddDialogKeys(HWND window) {
  auto& windows = DialogWindows();
  if (std::find(windows.begin(), windows.end(), window) == windows.end()) windows.push_back(window);
  if (!g_keys_hook)
    g_keys_hook = SetWindowsHookExW(WH_GETMESSAGE, DialogKeysHook, nullptr, GetCurrentThreadId());
}

void RemoveDialogKeys(HWND window) {
  auto& windows = DialogWindows();
  windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
  if (windows.empty() && g_keys_hook) {
    UnhookWindowsHookEx(g_keys_hook);
    g_keys_hook = nullptr;
  }
}

void ModalScope::Begin(HWND modal) {
  Release();
  previous_active_ = GetActiveWindow();
  std::vector<HWND> candidates;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&candidates));
  for (HWND w : candidates) {
    if (w == modal) continue;
    EnableWindow(w, FALSE);
    disabled_.push_back(w);
  }
  active_ = true;
}

void ModalScope::Release() {
  if (!active_) return;
  active_ = false;
  for (HWND w : disabled_)
    if (IsWindow(w)) EnableWindow(w, TRUE);
  disabled_.clear();
  if (previous_active_ && IsWindow(previous_active_)) SetActiveWindow(previous_active_);
  previous_active_ = nullptr;
}

void RunUntilDestroyed(HWND window) {
  MSG msg;
  while (IsWindow(window)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(int(msg.wParam));
      return;
    }
    if (got < 0) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

RECT DrawButtonFace(HWND button, HDC dc, RECT rc, UINT item_state) {
  const bool pressed = item_state & ODS_SELECTED;
  const bool disabled = item_state & ODS_DISABLED;
  // Themed faces have rounded corners that show what lies beneath.
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  const Theme& theme = ThemeApi();
  if (theme.usable()) {
    if (HTHEME t = theme.open(button, L"BUTTON")) {
      const int state = disabled                   ? PBS_DISABLED
                        : pressed                  ? PBS_PRESSED
                        : (item_state & ODS_FOCUS) ? PBS_DEFAULTED
                                                   : PBS_NORMAL;
      theme.draw(t, dc, BP_PUSHBUTTON, state, &rc, nullptr);
      RECT content = rc;
      theme.content(t, dc, BP_PUSHBUTTON, state, &rc, &content);
      theme.close(t);
      return content;
    }
  }
  RECT face = rc;
  DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  InflateRect(&face, -2, -2);
  return face;
}

}  // namespace sarvel::win32
