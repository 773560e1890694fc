// Win32: the settings dialog as a native window. Builds the
// controls of kConfigControls at their twip places for the window's DPI,
// shows what the model sets, hands the user's clicks, scrolls and keys to the
// model, and runs the picture chooser, the message box and the browser call.
#pragma once

#include <windows.h>

#include <array>

#include "app/dialogs/config_controls.h"
#include "core/ports/config_view.h"
#include "core/ports/process.h"
#include "core/ports/resource_library.h"
#include "frontends/win32/dialog_pictures.h"
#include "frontends/win32/window_base.h"

namespace sarvel::win32 {

class ConfigViewWin32 : public ConfigView, private WindowBase {
 public:
  ConfigViewWin32(ResourceLibrary& resources, Process& process);
  ~ConfigViewWin32() override;

  // FormView
  void Create() override;
  WindowHandle handle() const override;
  void Show(ShowMode mode) override;
  void Destroy() override;

  // ConfigView
  void Bind(ConfigInput& input) override;
  void SetChecked(ConfigControl c, bool checked) override;
  void SetPosition(ConfigControl c, int16_t position) override;
  void SetEnabled(ConfigControl c, bool enabled) override;
  void SetText(ConfigControl c, const std::string& text) override;
  void SetForeColor(ConfigControl c, gfx::Argb color) override;
  FileDialogResult ShowOpenDialog(const FileDialogRequest& request) override;
  void ShowMessage(const std::string& title, const std::string& text) override;
  void OpenInBrowser(const std::string& address) override;

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
