// Win32: the preview form's window, a child of the display settings' preview area.
// It paints the preview picture from its persistent image, takes no input,
// and when the preview area goes away the form is unloaded at once, so the
// process never lingers.
#pragma once

#include "core/ports/preview_view.h"
#include "core/ports/process.h"
#include "frontends/win32/window_base.h"

namespace sarvel::win32 {

class PreviewWindowWin32 : public PreviewView, private WindowBase {
 public:
  explicit PreviewWindowWin32(Process& process) : process_(process) {}
  ~PreviewWindowWin32() override;

  // FormView
  void Create() override;
  WindowHandle handle() const override;
  void Show(ShowMode mode) override;
  void Destroy() override;

  // PreviewView
  void SetEvents(PreviewEvents* events) override;
  gfx::Surface& WindowImage() override;
  void Refresh() override;

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroyed() override;
  void HostGone();

  Process& process_;
  PreviewEvents* events_ = nullptr;
  gfx::Surface image_;
  bool destroying_ = false;
  bool host_gone_ = false;
};

}  // namespace sarvel::win32
