// Win32: the settings dialog's native window.
#include "frontends/win32/config_view_win32.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "app/resource_ids.h"
#include "core/base/failure.h"
#include "frontends/win32/dialog_ids.h"
#include "frontends/win32/dialog_support.h"
#include "frontends/win32/guard.h"
#include "frontends/win32/text.h"

namespace sarvel::win32 {
namespace {

using C = ConfigControl;

COLORREF ColorRef(gfx::Argb c) { return RGB(gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c)); }

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD ex_style;
};

ControlClass ClassOf(const ConfigControlDesign& design) {
  switch (design.kind) {
    case ControlKind::kFrame:
      return {L"Button", BS_GROUPBOX, 0};
    case ControlKind::kLabel:
      return {L"Static",
              DWORD(SS_NOPREFIX | (design.align == TextAlign::kRight ? SS_RIGHT : SS_LEFT)), 0};
    case ControlKind::kHScrollBar:
      return {L"ScrollBar", SBS_HORZ | WS_TABSTOP, 0};
    case ControlKind::kVScrollBar:
      return {L"ScrollBar", SBS_VERT | WS_TABSTOP, 0};
    case ControlKind::kCheckBox:
      return {L"Button", BS_CHECKBOX | WS_TABSTOP, 0};
    case ControlKind::kOptionButton:
      return {L"Button", BS_RADIOBUTTON, 0};
    case ControlKind::kButton:
      return {L"Button",
              DWORD((design.picture ? BS_OWNERDRAW : BS_PUSHBUTTON | BS_MULTILINE) | WS_TABSTOP),
              0};
    // The path box only shows the picture the chooser set: typing into it
    // would show a name that is not the picture.
    case ControlKind::kTextBox:
      return {L"Edit", ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, WS_EX_CLIENTEDGE};
  }
  return {L"Static", 0, 0};
}

// The option group runs from optBack(0) to optBack(4), Random included, so
// that the arrow keys walk all five options.
bool StartsGroup(ConfigControl c) {
  return !(c == C::kBlueOption || c == C::kBrownOption || c == C::kDesktopOption ||
           c == C::kRandomBox || c == C::kPictureOption);
}

// No WS_CLIPCHILDREN: the frames do not paint their insides.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

}  // namespace

ConfigViewWin32::ConfigViewWin32(ResourceLibrary& resources, Process& process)
    : resources_(resources), process_(process) {
  fore_.fill(gfx::kBlack);
}

ConfigViewWin32::~ConfigViewWin32() { Destroy(); }

WindowHandle ConfigViewWin32::handle() const {
  return WindowHandle(reinterpret_cast<intptr_t>(hwnd_));
}

template <class Fn>
void ConfigViewWin32::AsUser(Fn&& fn) {
  if (input_) Guarded(process_, fn);
}

void ConfigViewWin32::Create() {
  if (!CreateHidden(kConfigWindowClass, kStyle, 0, HiddenOwner(), 0,
                    GetSysColorBrush(COLOR_BTNFACE)))
    Raise(Err::kOutOfMemory, "The settings window could not be created");
  SetWindowTextW(hwnd_, Widen(kConfigCaption).c_str());
  white_ = CreateSolidBrush(RGB(255, 255, 255));

  big_icon_ =
      static_cast<HICON>(LoadImageW(ThisModule(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  small_icon_ = static_cast<HICON>(LoadImageW(ThisModule(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), 0));
  if (!big_icon_ || !small_icon_) {
    try {
      const gfx::ImageRef app = resources_.Icon(IDI_APP);
      if (!big_icon_) big_icon_ = IconFromImage(*app);
      if (!small_icon_) small_icon_ = IconFromImage(*app);
    } catch (const RuntimeFailure&) {
      // No icon: the window keeps the system's default.
    }
  }
  if (big_icon_) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_));
  if (small_icon_)
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));

  CreateControls();
  LoadPictures();
  Layout(int(DpiOf(hwnd_)));

  // Centred on the work area of the screen the window is on.
  RECT wr;
  GetWindowRect(hwnd_, &wr);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi);
  const RECT& area = mi.rcWork;
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - w) / 2,
               area.top + (area.bottom - area.top - h) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  AddDialogKeys(hwnd_);
}

void ConfigViewWin32::CreateControls() {
  for (const ConfigControlDesign& design : kConfigControls) {
    const ControlClass cls = ClassOf(design);
    DWORD style = WS_CHILD | WS_VISIBLE | cls.style;
    if (!design.enabled) style |= WS_DISABLED;
    if (StartsGroup(design.id)) style |= WS_GROUP;
    HWND h = CreateWindowExW(
        cls.ex_style, cls.name, Widen(design.caption).c_str(), style, 0, 0, 0, 0, hwnd_,
        reinterpret_cast<HMENU>(intptr_t(ConfigControlId(design.id))), ThisModule(), nullptr);
    controls_[Index(design.id)] = h;
    if (IsScrollBar(design.id)) {
      const ScrollRange range = ScrollRangeOf(design.id);
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
      si.nMin = range.min;
      si.nMax = range.max;
      si.nPage = 0;
      si.nPos = design.position;
      SetScrollInfo(h, SB_CTL, &si, TRUE);
    }
    if (design.kind == ControlKind::kCheckBox || design.kind == ControlKind::kOptionButton)
      SendMessageW(h, BM_SETCHECK, design.checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  UpdateOptionTabStops();
}

void ConfigViewWin32::Layout(int dpi) {
  dpi_ = dpi;
  HFONT old_font = font_, old_bold = bold_font_;
  font_ = CreateDialogFont(dpi_, 825, false);
  bold_font_ = CreateDialogFont(dpi_, 825, true, false, DialogFace::kSansSerif);
  const SIZE outer =
      OuterSize({Px(kConfigClientWidth, dpi_), Px(kConfigClientHeight, dpi_)}, kStyle, 0, dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (const ConfigControlDesign& design : kConfigControls) {
    const TwipRect place = WindowPlace(design.id);
    const RECT r = PxRect(place.left, place.top, place.width, place.height, dpi_);
    HWND h = controls_[Index(design.id)];
    SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(design.bold ? bold_font_ : font_), TRUE);
  }
  if (old_font) DeleteObject(old_font);
  if (old_bold) DeleteObject(old_bold);
}

void ConfigViewWin32::LoadPictures() {
  for (const ConfigControlDesign& design : kConfigControls) {
    if (!design.picture) continue;
    try {
      pictures_[Index(design.id)] = Dib(*resources_.Icon(design.picture));
    } catch (const RuntimeFailure&) {
      // The button shows its caption alone.
    }
  }
}

void ConfigViewWin32::Show(ShowMode mode) {
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(first);
  if (mode == ShowMode::kModal) {
    ModalScope scope;
    scope.Begin(hwnd_);
    RunUntilDestroyed(hwnd_);
  }
}

void ConfigViewWin32::Destroy() {
  if (hwnd_) RemoveDialogKeys(hwnd_);
  DestroyNow();
  controls_.fill(nullptr);
  for (HFONT* font : {&font_, &bold_font_}) {
    if (*font) DeleteObject(*font);
    *font = nullptr;
  }
  if (white_) DeleteObject(white_);
  white_ = nullptr;
  for (HICON* icon : {&big_icon_, &small_icon_}) {
    if (*icon) DestroyIcon(*icon);
    *icon = nullptr;
  }
}

// ---------------------------------------------------------------- model to window

void ConfigViewWin32::SetChecked(ConfigControl c, bool checked) {
  SendMessageW(controls_[Index(c)], BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (IsOption(c)) UpdateOptionTabStops();
}

void ConfigViewWin32::SetPosition(ConfigControl c, int16_t position) {
  SetScrollPos(controls_[Index(c)], SB_CTL, position, TRUE);
}

void ConfigViewWin32::SetEnabled(ConfigControl c, bool enabled) {
  HWND h = controls_[Index(c)];
  // A control that loses the focus by going grey hands it on.
  if (!enabled && GetFocus() == h) SendMessageW(hwnd_, WM_NEXTDLGCTL, 0, FALSE);
  EnableWindow(h, enabled ? TRUE : FALSE);
}

void ConfigViewWin32::SetText(ConfigControl c, const std::string& text) {
  SetWindowTextW(controls_[Index(c)], Widen(text).c_str());
}

void ConfigViewWin32::SetForeColor(ConfigControl c, gfx::Argb color) {
  fore_[Index(c)] = color;
  InvalidateRect(controls_[Index(c)], nullptr, TRUE);
}

FileDialogResult ConfigViewWin32::ShowOpenDialog(const FileDialogRequest& request) {
  // "description|patterns" becomes "description\0patterns\0\0".
  std::wstring filter = Widen(request.filter);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  std::vector<wchar_t> name(32768, L'\0');
  const std::wstring held = Widen(request.file_name);
  std::copy_n(held.begin(), std::min(held.size(), name.size() - 1), name.begin());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = DWORD(name.size());
  ofn.Flags = request.hide_read_only ? OFN_HIDEREADONLY : 0;
  BOOL chosen = GetOpenFileNameW(&ofn);
  if (!chosen && CommDlgExtendedError() == FNERR_INVALIDFILENAME && !held.empty()) {
    // A held name the dialog refuses to start with: start without it.
    std::fill(name.begin(), name.end(), L'\0');
    chosen = GetOpenFileNameW(&ofn);
  }
  if (!chosen) return FileDialogResult{true, request.file_name};
  return FileDialogResult{false, Narrow(name.data())};
}

void ConfigViewWin32::ShowMessage(const std::string& title, const std::string& text) {
  MessageBoxW(hwnd_, Widen(text).c_str(), Widen(title).c_str(), MB_OK);
}

void ConfigViewWin32::OpenInBrowser(const std::string& address) {
  ShellExecuteW(hwnd_, L"open", Widen(address).c_str(), L"", L"", SW_SHOWNORMAL);
}

void ConfigViewWin32::UpdateOptionTabStops() {
  for (ConfigControl option : kBackgroundOptions) {
    HWND h = controls_[Index(option)];
    if (!h) continue;
    LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    const bool selected = SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
    style = selected ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP));
    SetWindowLongPtrW(h, GWL_STYLE, style);
  }
}

// ---------------------------------------------------------------- window to model

ConfigControl ConfigViewWin32::ControlOf(HWND child) const {
  for (size_t i = 0; i < controls_.size(); ++i)
    if (child && controls_[i] == child) return ConfigControl(i);
  return ConfigControl::kCount;
}

LRESULT ConfigViewWin32::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (lp) OnScroll(reinterpret_cast<HWND>(lp), LOWORD(wp));
      return 0;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return OnColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_CLOSE:
      AsUser([&] { input_->UserCloses(); });
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND f = GetFocus();
        if (f && IsChild(hwnd_, f)) focus_ = f;
      } else if (focus_ && IsWindow(focus_) && IsWindowEnabled(focus_)) {
        SetFocus(focus_);
        return 0;
      }
      break;
    case WM_NEXTDLGCTL: {
      HWND next =
          LOWORD(lp) ? reinterpret_cast<HWND>(wp) : GetNextDlgTabItem(hwnd_, GetFocus(), wp != 0);
      if (next) SetFocus(next);
      return 0;
    }
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      Layout(HIWORD(wp));
      InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    }
    case kDialogKeyMessage:
      return OnDialogKey(wp);
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void ConfigViewWin32::OnCommand(int id, int code, HWND from) {
  if (id == IDCANCEL && !from) {
    AsUser([&] { input_->UserCloses(); });
    return;
  }
  if (code != BN_CLICKED) return;
  const ConfigControl c = ControlOf(from);
  if (c == ConfigControl::kCount) return;
  switch (DesignOf(c).kind) {
    case ControlKind::kCheckBox: {
      const bool ticked = SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED;
      AsUser([&] { input_->UserSetsCheck(c, !ticked); });
      break;
    }
    case ControlKind::kOptionButton:
      AsUser([&] { input_->UserSelectsOption(c); });
      break;
    case ControlKind::kButton:
      AsUser([&] { input_->UserClicks(c); });
      break;
    default:
      break;
  }
}

void ConfigViewWin32::OnScroll(HWND bar, int request) {
  const ConfigControl c = ControlOf(bar);
  if (c == ConfigControl::kCount || !IsScrollBar(c)) return;
  const ScrollRange range = ScrollRangeOf(c);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(bar, SB_CTL, &si);
  int position = si.nPos;
  switch (request) {
    case SB_LINEUP:
      position -= range.small_change;
      break;
    case SB_LINEDOWN:
      position += range.small_change;
      break;
    case SB_PAGEUP:
      position -= range.large_change;
      break;
    case SB_PAGEDOWN:
      position += range.large_change;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      position = si.nTrackPos;
      break;
    case SB_TOP:
      position = range.min;
      break;
    case SB_BOTTOM:
      position = range.max;
      break;
    default:
      return;
  }
  AsUser([&] { input_->UserScrolls(c, position); });
}

LRESULT ConfigViewWin32::OnColorStatic(HDC dc, HWND child) {
  const ConfigControl c = ControlOf(child);
  if (c != ConfigControl::kCount && DesignOf(c).kind == ControlKind::kLabel) {
    SetTextColor(dc, ColorRef(fore_[Index(c)]));
    if (DesignOf(c).white_back) {
      SetBkColor(dc, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(white_);
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(child));
}

LRESULT ConfigViewWin32::OnDialogKey(WPARAM key) {
  if (key == VK_ESCAPE) {
    AsUser([&] { input_->UserCloses(); });
    return 1;
  }
  if (key == VK_RETURN) {
    // Enter presses the focused button, anywhere else OK.
    const ConfigControl focused = ControlOf(GetFocus());
    const bool on_button =
        focused != ConfigControl::kCount && DesignOf(focused).kind == ControlKind::kButton;
    AsUser([&] { input_->UserClicks(on_button ? focused : C::kOkButton); });
    return 1;
  }
  return 0;
}

// The picture above the caption, both centred, on a push-button face.
void ConfigViewWin32::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const ConfigControl c = ControlOf(item.hwndItem);
  if (c == ConfigControl::kCount) return;
  const RECT& rc = item.rcItem;
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  HDC dc = CreateCompatibleDC(item.hDC);
  HBITMAP bitmap = CreateCompatibleBitmap(item.hDC, w, h);
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  HGDIOBJ old_font = SelectObject(dc, font_);

  const RECT local{0, 0, w, h};
  const RECT content = DrawButtonFace(item.hwndItem, dc, local, item.itemState);
  const bool pressed = item.itemState & ODS_SELECTED;
  const int shift = pressed ? 1 : 0;
  const int icon = MulDiv(32, dpi_, 96);
  const int gap = MulDiv(3, dpi_, 96);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int top = (h - (icon + gap + tm.tmHeight)) / 2 + shift;
  pictures_[Index(c)].AlphaDraw(dc, (w - icon) / 2 + shift, top, icon, icon);

  wchar_t caption[64] = {};
  GetWindowTextW(item.hwndItem, caption, 64);
  RECT text{shift, top + icon + gap, w + shift, top + icon + gap + tm.tmHeight};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  DrawTextW(
      dc, caption, -1, &text,
      DT_CENTER | DT_TOP | DT_SINGLELINE | ((item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0));
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = content;
    InflateRect(&focus, -1, -1);
    DrawFocusRect(dc, &focus);
  }
  BitBlt(item.hDC, rc.left, rc.top, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old_font);
  SelectObject(dc, old_bitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

void ConfigViewWin32::Bind(ConfigInput& input) { input_ = &input; }

}  // namespace sarvel::win32
