// Win32: the about box's native window.
#include "frontends/win32/info_view_win32.h"

#include <shellapi.h>

#include "core/base/failure.h"
#include "core/gfx/painter.h"
#include "frontends/win32/dialog_ids.h"
#include "frontends/win32/guard.h"
#include "frontends/win32/text.h"

namespace sarvel::win32 {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;

COLORREF ColorRef(gfx::Argb c) { return RGB(gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c)); }

}  // namespace

InfoViewWin32::InfoViewWin32(ResourceLibrary& resources, Process& process)
    : resources_(resources), process_(process) {}

InfoViewWin32::~InfoViewWin32() { Destroy(); }

WindowHandle InfoViewWin32::handle() const {
  return WindowHandle(reinterpret_cast<intptr_t>(hwnd_));
}

template <class Fn>
void InfoViewWin32::AsUser(Fn&& fn) {
  if (input_) Guarded(process_, fn);
}

void InfoViewWin32::Create() {
  // Owned by the active window of the program, so that it stays above the
  // settings dialog, and, like it, has no task-bar button.
  HWND owner = GetActiveWindow();
  if (!owner) owner = HiddenOwner();
  if (!CreateHidden(kInfoWindowClass, kStyle, 0, owner, 0, nullptr))
    Raise(Err::kOutOfMemory, "The about box could not be created");
  SetWindowTextW(hwnd_, L"");
  for (const InfoControlDesign& design : kInfoControls) {
    if (design.kind == InfoKind::kPicture) continue;
    HWND h = nullptr;
    const HMENU id = reinterpret_cast<HMENU>(intptr_t(InfoControlId(design.id)));
    const std::wstring caption = Widen(design.caption);
    if (design.kind == InfoKind::kButton) {
      h = CreateWindowExW(0, L"Button", caption.c_str(),
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, hwnd_,
                          id, ThisModule(), nullptr);
    } else {
      const DWORD notify = design.id == InfoControl::kHomepage ? SS_NOTIFY : 0;
      h = CreateWindowExW(0, L"Static", caption.c_str(),
                          WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | notify, 0, 0, 0, 0, hwnd_, id,
                          ThisModule(), nullptr);
    }
    controls_[Index(design.id)] = h;
  }
  Layout(int(DpiOf(hwnd_)));
  AddDialogKeys(hwnd_);
}

void InfoViewWin32::Layout(int dpi) {
  dpi_ = dpi;
  const SIZE client{Px(kInfoClientWidth, dpi_), Px(kInfoClientHeight, dpi_)};
  const SIZE outer = OuterSize(client, kStyle, 0, dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (const InfoControlDesign& design : kInfoControls) {
    HWND h = controls_[Index(design.id)];
    if (!h) continue;
    HFONT old = fonts_[Index(design.id)];
    fonts_[Index(design.id)] = CreateDialogFont(dpi_, design.point_size_x100, design.bold,
                                                design.underline, DialogFace::kSansSerif);
    const RECT r = PxRect(design.left, design.top, design.width, design.height, dpi_);
    SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[Index(design.id)]), TRUE);
    if (old) DeleteObject(old);
  }
  RenderBackground();
}

// The pictures lie beneath every control: drawn once into the client's
// background, which the transparent labels then show through.
void InfoViewWin32::RenderBackground() {
  const int w = Px(kInfoClientWidth, dpi_), h = Px(kInfoClientHeight, dpi_);
  gfx::Surface surface(w, h, kInfoBackColor);
  surface.Clear();
  for (const InfoControlDesign& design : kInfoControls) {
    if (design.kind != InfoKind::kPicture) continue;
    const RECT r = PxRect(design.left, design.top, design.width, design.height, dpi_);
    try {
      if (design.id == InfoControl::kDiskPicture) {
        gfx::DrawStretched(surface, *resources_.Bitmap(design.picture), {0, 0, w, h});
      } else {
        gfx::DrawIcon(surface, *resources_.Icon(design.picture), float(r.left), float(r.top),
                      r.right - r.left, r.bottom - r.top);
      }
    } catch (const RuntimeFailure&) {
      // A picture that cannot be read leaves the back colour.
    }
  }
  background_ = Dib(surface);
}

void InfoViewWin32::Show(ShowMode mode) {
  if (mode == ShowMode::kModal) modal_.Begin(hwnd_);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(controls_[Index(InfoControl::kOk)]);
  if (mode == ShowMode::kModal) RunUntilDestroyed(hwnd_);
}

void InfoViewWin32::Destroy() {
  if (hwnd_) RemoveDialogKeys(hwnd_);
  // The windows it disabled take input again before it goes, so that the
  // settings dialog becomes the active window.
  modal_.Release();
  DestroyNow();
  controls_.fill(nullptr);
  for (HFONT& font : fonts_) {
    if (font) DeleteObject(font);
    font = nullptr;
  }
}

TwipSize InfoViewWin32::ScreenSize() {
  return {Twips(GetSystemMetrics(SM_CXSCREEN), dpi_), Twips(GetSystemMetrics(SM_CYSCREEN), dpi_)};
}

TwipSize InfoViewWin32::WindowSize() {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return {Twips(r.right - r.left, dpi_), Twips(r.bottom - r.top, dpi_)};
}

void InfoViewWin32::Move(int32_t left, int32_t top) {
  SetWindowPos(hwnd_, nullptr, Px(left, dpi_), Px(top, dpi_), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InfoViewWin32::SetText(InfoControl label, const std::string& text) {
  if (HWND h = controls_[Index(label)]) SetWindowTextW(h, Widen(text).c_str());
}

void InfoViewWin32::OpenInBrowser(const std::string& address) {
  ShellExecuteW(hwnd_, L"open", Widen(address).c_str(), L"", L"", SW_SHOWNORMAL);
}

InfoControl InfoViewWin32::ControlOf(HWND child) const {
  for (size_t i = 0; i < controls_.size(); ++i)
    if (child && controls_[i] == child) return InfoControl(i);
  return InfoControl::kCount;
}

LRESULT InfoViewWin32::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      BitBlt(dc, 0, 0, background_.width(), background_.height(), background_.dc(), 0, 0, SRCCOPY);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_DRAWITEM:
      DrawLabel(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == controls_[Index(InfoControl::kHomepage)]) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return TRUE;
    case WM_COMMAND: {
      const InfoControl from = ControlOf(reinterpret_cast<HWND>(lp));
      if (from == InfoControl::kHomepage && HIWORD(wp) == STN_CLICKED) {
        AsUser([&] { input_->UserClicksHomepage(); });
      } else if (from == InfoControl::kOk && HIWORD(wp) == BN_CLICKED) {
        AsUser([&] { input_->UserClicksOK(); });
      }
      return 0;
    }
    case kDialogKeyMessage:  // Enter and Escape both close it
    case WM_CLOSE:
      AsUser([&] { input_->UserClicksOK(); });
      return msg == WM_CLOSE ? 0 : 1;
    case WM_DPICHANGED:
      Layout(HIWORD(wp));
      InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

// A label: the picture beneath it (or white), then its text centred.
void InfoViewWin32::DrawLabel(const DRAWITEMSTRUCT& item) {
  const InfoControl c = ControlOf(item.hwndItem);
  if (c == InfoControl::kCount) return;
  const InfoControlDesign& design = DesignOf(c);
  const RECT place = PxRect(design.left, design.top, design.width, design.height, dpi_);
  const int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
  HDC dc = CreateCompatibleDC(item.hDC);
  HBITMAP bitmap = CreateCompatibleBitmap(item.hDC, w, h);
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  RECT local{0, 0, w, h};
  if (design.transparent) {
    BitBlt(dc, 0, 0, w, h, background_.dc(), place.left, place.top, SRCCOPY);
  } else {
    FillRect(dc, &local, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  HGDIOBJ old_font = SelectObject(dc, fonts_[Index(c)]);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorRef(design.fore_color));
  wchar_t text[128] = {};
  GetWindowTextW(item.hwndItem, text, 128);
  DrawTextW(dc, text, -1, &local, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old_font);
  SelectObject(dc, old_bitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

void InfoViewWin32::Bind(InfoInput& input) { input_ = &input; }

}  // namespace sarvel::win32
