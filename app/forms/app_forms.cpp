#include "app/forms/app_forms.h"

#include "app/dialogs/config_form.h"
#include "app/dialogs/info_form.h"
#include "app/dialogs/preview_form.h"
#include "app/scene/scene_form.h"

namespace sarvel {

std::unique_ptr<Form> AppForms::Build(FormId id, App& app) {
  switch (id) {
    case FormId::kScene:
      return std::make_unique<SceneForm>(app, windows_.CreateSceneView());
    case FormId::kPreview:
      return std::make_unique<PreviewForm>(app, windows_.CreatePreviewView());
    case FormId::kConfig:
      return std::make_unique<ConfigForm>(app, windows_.CreateConfigView());
    case FormId::kInfo:
      return std::make_unique<InfoForm>(app, windows_.CreateInfoView());
  }
  return nullptr;
}

}  // namespace sarvel
