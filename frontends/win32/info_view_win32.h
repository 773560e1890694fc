// Win32: the about box as a native window. A thin-bordered popup
// without caption over the disk picture, drawn with our renderer; its labels
// are owner-drawn so that the transparent ones show the picture beneath. Up
// modally, the program's other windows take no input.
#pragma once

#include <windows.h>

#include <array>

#include "app/dialogs/info_controls.h"
#include "core/ports/info_view.h"
#include "core/ports/process.h"
#include "core/ports/resource_library.h"
#include "frontends/win32/dialog_pictures.h"
#include "frontends/win32/dialog_support.h"
#include "frontends/win32/window_base.h"

namespace sarvel::win32 {

class InfoViewWin32 : public InfoView, private WindowBase {
 public:
  InfoViewWin32(ResourceLibrary& resources, Process& process);
  ~InfoViewWin32() override;

  // FormView
  void Create() override;
  WindowHandle handle() const override;
  void Show(ShowMode mode) override;
  void Destroy() override;

  // InfoView
  void Bind(InfoInput& input) override;
  TwipSize ScreenSize() override;
  TwipSize WindowSize() override;
  void Move(int32_t left, int32_t top) override;
  void SetText(InfoControl label, const std::string& text) override;
  void OpenInBrowser(const std::string& address) override;

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Layout(int dpi);
  void RenderBackground();
  InfoControl ControlOf(HWND child) const;
  void DrawLabel(const DRAWITEMSTRUCT& item);
  template <class Fn>
  void AsUser(Fn&& fn);

  ResourceLibrary& resources_;
  Process& process_;
  InfoInput* input_ = nullptr;
  std::array<HWND, kInfoControlCount> controls_{};
  std::array<HFONT, kInfoControlCount> fonts_{};
  Dib background_;  // the client area: back colour, disk and emblem
  ModalScope modal_;
  int dpi_ = 96;
};

}  // namespace sarvel::win32
