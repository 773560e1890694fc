// The preview form's window: a still picture inside the window of the
// program that asked for a preview.
#pragma once

#include "core/gfx/surface.h"
#include "core/ports/form_view.h"

namespace sarvel {

class PreviewEvents {
 public:
  virtual ~PreviewEvents() = default;
  virtual void OnResize() = 0;
  // The host's window went, or the preview never found one: nobody would
  // ever close the preview, so it goes now.
  virtual void OnHostGone() = 0;
};

class PreviewView : public FormView {
 public:
  virtual void SetEvents(PreviewEvents* events) = 0;
  // The client area: the size of the window's image.
  int ClientWidth() { return WindowImage().width(); }
  int ClientHeight() { return WindowImage().height(); }
  // The window's persistent image, the size of the client area.
  virtual gfx::Surface& WindowImage() = 0;
  virtual void Refresh() = 0;
};

}  // namespace sarvel
