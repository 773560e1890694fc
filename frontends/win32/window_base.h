// Win32: the plumbing every native window of ours shares: one window class
// per kind, the object behind a window handle, painting a gfx::Surface, and
// the modal loop.
#pragma once

#include <windows.h>

#include "core/gfx/surface.h"

namespace sarvel::win32 {

// A window whose messages go to a C++ object.
class WindowBase {
 public:
  virtual ~WindowBase();
  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers the class on first use and creates the window, hidden.
  bool CreateHidden(const wchar_t* class_name, DWORD style, DWORD ex_style, HWND parent,
                    UINT class_style = 0, HBRUSH background = nullptr);
  void DestroyNow();
  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  // Called once the window is gone (by us or by the system).
  virtual void OnDestroyed() {}

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

// Another program may ask a window of ours for a copy of its image: it sends
// this registered message with its own window as wParam and receives a
// WM_COPYDATA (dwData kImageCopyTag) holding width, height and the pixels.
// Test hosts use it where a screen capture cannot see another process's
// child window.
UINT ImageRequestMessage();
inline constexpr ULONG_PTR kImageCopyTag = 0x53525649;  // "SRVI"
void SendImageCopy(HWND from, HWND to, const gfx::Surface& s);

// Draws a surface's pixels to a device context at (x, y), 1:1.
void PaintSurface(HDC dc, const gfx::Surface& s, int x, int y);

// The window's dots per inch (96 when the system cannot tell).
UINT DpiOf(HWND hwnd);

// Runs messages until `done` is true, with `owner` (if any) disabled.
void RunModalLoop(HWND owner, const bool& done);

HINSTANCE ThisModule();

}  // namespace sarvel::win32
