// Win32: what the settings dialog and the about box share. Twips at the
// window's resolution, the dialog fonts, the invisible owner that keeps them
// out of the task bar, dialog keys for windows whose message loop is not
// ours, the modal loop, and push-button faces for owner-drawn buttons.
#pragma once

#include <windows.h>

#include <vector>

namespace sarvel::win32 {

inline int Px(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }
inline int Twips(int pixels, int dpi) { return MulDiv(pixels, 1440, dpi); }
RECT PxRect(int left, int top, int width, int height, int dpi);

// The outer size of a window whose client area is `client` at `dpi`.
SIZE OuterSize(SIZE client, DWORD style, DWORD ex_style, int dpi);

// A font at a size in hundredths of a point (the dialogs were laid out for
// 8.25 pt): the system's dialog face (its message font), or with
// `sans_serif` the TrueType "MS Sans Serif", "Microsoft Sans Serif", where
// it is installed.
enum class DialogFace { kSystem, kSansSerif };
HFONT CreateDialogFont(int dpi, int point_x100, bool bold, bool underline = false,
                       DialogFace face = DialogFace::kSystem);

// A never-shown top-level window. Windows it owns get no task-bar button.
HWND HiddenOwner();

// Tab, arrows and access keys through IsDialogMessage for a top-level window
// of this thread, whoever runs the message loop. Enter and Escape are first
// offered to the window as kDialogKeyMessage (wParam: the key); an answer
// of nonzero takes them.
inline constexpr UINT kDialogKeyMessage = WM_APP + 0x51;
void AddDialogKeys(HWND window);
void RemoveDialogKeys(HWND window);

// Disables every other visible, enabled top-level window of this thread
// until Release (or destruction).
class ModalScope {
 public:
  ModalScope() = default;
  ~ModalScope() { Release(); }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
  void Begin(HWND modal);
  // Enables them again and activates the window that was active before.
  void Release();

 private:
  std::vector<HWND> disabled_;
  HWND previous_active_ = nullptr;
  bool active_ = false;
};

// Pumps this thread's messages until `window` is destroyed; a WM_QUIT is
// posted again for the outer loop.
void RunUntilDestroyed(HWND window);

// The face of a push button in the state DRAWITEMSTRUCT gives, themed where
// visual styles are on; returns the rectangle inside its border.
RECT DrawButtonFace(HWND button, HDC dc, RECT rc, UINT item_state);

}  // namespace sarvel::win32
