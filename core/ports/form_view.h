// FormView: the platform's window behind one of the program's forms. A form
// owns its view and forwards loading, showing and unloading to it; the view
// calls the form's event handlers back through an interface of the form's
// own (scene_view.h, preview_view.h, config_view.h, info_view.h).
#pragma once

#include "core/ports/window_handle.h"

namespace sarvel {

enum class ShowMode { kModeless, kModal };

class FormView {
 public:
  virtual ~FormView() = default;
  virtual void Create() = 0;  // the window, hidden
  virtual WindowHandle handle() const = 0;
  // Modeless shows return at once; a modal show returns when the window is
  // destroyed, other windows of the program taking no input meanwhile.
  virtual void Show(ShowMode mode) = 0;
  virtual void Destroy() = 0;
};

}  // namespace sarvel
