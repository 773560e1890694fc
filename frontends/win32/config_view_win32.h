// Win32: the settings dialog config_form as a native window. Builds the
// controls of kConfigControls at their twip places for the window's DPI,
// shows what the model sets, hands the user's clicks, scrolls and keys to the
// model, and runs the picture chooser, the message box and the browser call.
#pragma once

#include <windows.h>

#include <array>

#include "app/dialogs/config_view.h"
#include "core/ports/resource_library.h"
#include "core/ports/services.h"
#include "frontends/win32/dialog_pictures.h"
#include "frontends/win32/window_base.h"

namespace sarvel::win32 {

class ConfigViewWin32 : public ConfigView, private WindowBase {
 public:
  ConfigViewWin32(ResourceLibrary& resources, Process& process);
  ~ConfigViewWin32() override;

  SARVEL_CONFIG_VIEW_OVERRIDES;

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void CreateControls();
  // Places the window and its controls and makes the fonts for `dpi`.
  void Layout(int dpi);
  void LoadPictures();
  ConfigControl ControlOf(HWND child) const;
  void OnCommand(int id, int code, HWND from);
  void OnScroll(HWND bar, int request);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  LRESULT OnColorStatic(HDC dc, HWND child);
  LRESULT OnDialogKey(WPARAM key);
  // Only the selected option button is a tab stop, as in any option group.
  void UpdateOptionTabStops();
  template <class Fn>
  void AsUser(Fn&& fn);

  ResourceLibrary& resources_;
  Process& process_;
  ConfigInput* input_ = nullptr;
  std::array<HWND, kConfigControlCount> controls_{};
  std::array<gfx::Argb, kConfigControlCount> fore_{};
  std::array<Dib, kConfigControlCount> pictures_;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  HFONT bold_font_ = nullptr;
  HBRUSH white_ = nullptr;
  HICON big_icon_ = nullptr;
  HICON small_icon_ = nullptr;
  HWND focus_ = nullptr;  // restored when the window is activated again
};

}  // namespace sarvel::win32
