#include "frontends/x11/forms_x11.h"

#include "frontends/x11/gtk_config_view.h"
#include "frontends/x11/gtk_info_view.h"
#include "frontends/x11/preview_window_x11.h"

namespace sarvel::x11 {

std::unique_ptr<SceneView> FormFactoryX11::CreateSceneView() {
  return std::make_unique<SceneWindowX11>(display_, loop_, process_, scene_);
}

std::unique_ptr<PreviewView> FormFactoryX11::CreatePreviewView() {
  return std::make_unique<PreviewWindowX11>(display_, loop_, process_);
}

std::unique_ptr<ConfigView> FormFactoryX11::CreateConfigView() {
  return std::make_unique<GtkConfigView>(resources_, process_);
}

std::unique_ptr<InfoView> FormFactoryX11::CreateInfoView() {
  return std::make_unique<GtkInfoView>(resources_, process_);
}

}  // namespace sarvel::x11
