#include "frontends/wayland/forms_wayland.h"

#include <stdexcept>

#include "frontends/gtk/gtk_config_view.h"
#include "frontends/gtk/gtk_info_view.h"

namespace sarvel::wayland {

std::unique_ptr<SceneView> FormFactoryWayland::CreateSceneView() {
  if (!connection_ || !loop_ || !screens_)
    throw std::logic_error("the scene needs the compositor's connection");
  return std::make_unique<SceneWindowWayland>(*connection_, *loop_, *screens_, process_, scene_);
}

std::unique_ptr<PreviewView> FormFactoryWayland::CreatePreviewView() {
  throw std::logic_error("a preview goes into an X11 window, not onto Wayland");
}

std::unique_ptr<ConfigView> FormFactoryWayland::CreateConfigView() {
  return std::make_unique<gtk::GtkConfigView>(resources_, process_);
}

std::unique_ptr<InfoView> FormFactoryWayland::CreateInfoView() {
  return std::make_unique<gtk::GtkInfoView>(resources_, process_);
}

}  // namespace sarvel::wayland
