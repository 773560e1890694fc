// Win32: preview_form's window, a child of the display settings' preview area.
// It paints the preview picture from its persistent image, takes no input,
// and when the preview area goes away the form is unloaded at once, so the
// process never lingers.
#pragma once

#include <functional>

#include "app/dialogs/preview_form.h"
#include "core/ports/services.h"
#include "frontends/win32/window_base.h"

namespace sarvel::win32 {

class PreviewWindowWin32 : public PreviewView, private WindowBase {
 public:
  // `unload` unloads the form; it runs when the window or its parent is gone.
  PreviewWindowWin32(Process& process, std::function<void()> unload)
      : process_(process), unload_(std::move(unload)) {}
  ~PreviewWindowWin32() override;

  SARVEL_PREVIEW_VIEW_OVERRIDES;

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroyed() override;
  void UnloadOnce();

  Process& process_;
  std::function<void()> unload_;
  PreviewEvents* events_ = nullptr;
  gfx::Surface image_;
  bool destroying_ = false;
  bool unloaded_ = false;
};

}  // namespace sarvel::win32
