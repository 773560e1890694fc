// The platform's windows for the program's four forms. Each is asked for when
// its form is loaded, and again after the form was unloaded; the window is
// created hidden by FormView::Create.
#pragma once

#include <memory>

#include "core/ports/config_view.h"
#include "core/ports/info_view.h"
#include "core/ports/preview_view.h"
#include "core/ports/scene_view.h"

namespace sarvel {

class FormFactory {
 public:
  virtual ~FormFactory() = default;
  // The scene's window, of the kind the front end was asked to run: full
  // screen, a window, or another program's window it draws into.
  virtual std::unique_ptr<SceneView> CreateSceneView() = 0;
  virtual std::unique_ptr<PreviewView> CreatePreviewView() = 0;
  virtual std::unique_ptr<ConfigView> CreateConfigView() = 0;
  virtual std::unique_ptr<InfoView> CreateInfoView() = 0;
};

}  // namespace sarvel
