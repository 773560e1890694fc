// Win32: the preview window inside the display settings.
#include "frontends/win32/preview_window_win32.h"

#include "frontends/win32/guard.h"

namespace sarvel::win32 {
namespace {

constexpr UINT_PTR kParentWatch = 2;
constexpr UINT kParentWatchMs = 500;

}  // namespace

PreviewWindowWin32::~PreviewWindowWin32() {
  destroying_ = true;
  DestroyNow();
}

WindowHandle PreviewWindowWin32::handle() const { return reinterpret_cast<intptr_t>(hwnd_); }
void PreviewWindowWin32::SetEvents(PreviewEvents* events) { events_ = events; }
gfx::Surface& PreviewWindowWin32::WindowImage() { return image_; }

void PreviewWindowWin32::Create() {
  image_.set_back_color(gfx::kBlack);
  CreateHidden(L"SarvelPreview", WS_POPUP | WS_CLIPSIBLINGS, WS_EX_NOACTIVATE, nullptr, 0,
               static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  // A safety net besides WM_DESTROY: a parent that stops naming a window
  // ends the preview too.
  if (hwnd_) SetTimer(hwnd_, kParentWatch, kParentWatchMs, nullptr);
}

void PreviewWindowWin32::Show(ShowMode) {
  if (hwnd_) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void PreviewWindowWin32::Destroy() {
  destroying_ = true;
  DestroyNow();
}

void PreviewWindowWin32::Refresh() {
  if (!hwnd_) return;
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

void PreviewWindowWin32::HostGone() {
  if (host_gone_ || destroying_) return;
  host_gone_ = true;
  if (events_) Guarded(process_, [&] { events_->OnHostGone(); });
}

void PreviewWindowWin32::OnDestroyed() { HostGone(); }

LRESULT PreviewWindowWin32::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == ImageRequestMessage()) {
    SendImageCopy(hwnd_, reinterpret_cast<HWND>(wp), image_);
    return 1;
  }
  switch (msg) {
    case WM_SIZE: {
      const int w = LOWORD(lp), h = HIWORD(lp);
      image_.Resize(w, h);
      if (events_) Guarded(process_, [&] { events_->OnResize(); });
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      PaintSurface(dc, image_, 0, 0);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintSurface(reinterpret_cast<HDC>(wp), image_, 0, 0);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      if (wp == kParentWatch) {
        // A preview area that is gone, or one that never was (a handle of
        // 0, of no window, or of a window destroyed before we got to it
        // leaves us a child of the desktop), ends the preview: nobody
        // would ever close it.
        HWND parent = GetAncestor(hwnd_, GA_PARENT);
        if ((GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD) &&
            (!parent || !IsWindow(parent) || parent == GetDesktopWindow())) {
          DestroyWindow(hwnd_);
        }
      }
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_SETCURSOR:
      break;  // the preview never hides or changes the pointer
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    default:
      break;
  }
  return WindowBase::OnMessage(msg, wp, lp);
}

}  // namespace sarvel::win32
