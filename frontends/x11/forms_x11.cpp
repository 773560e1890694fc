// X11: which window each form gets: the scene and the preview draw on X
// windows of their own, the settings dialog and the about box are GTK
// windows.
#include "frontends/x11/forms_x11.h"

#include "app/dialogs/config_form.h"
#include "app/dialogs/info_form.h"
#include "app/dialogs/preview_form.h"
#include "app/scene/scene_form.h"
#include "core/base/failure.h"
#include "frontends/x11/gtk_config_view.h"
#include "frontends/x11/gtk_info_view.h"
#include "frontends/x11/preview_window_x11.h"

namespace sarvel::x11 {

bool FormFactoryX11::Provides(FormId id) {
  switch (id) {
    case FormId::kMain:
    case FormId::kPreview:
    case FormId::kConfig:
    case FormId::kInfo:
      return true;
  }
  return false;
}

std::unique_ptr<Form> FormFactoryX11::Create(FormId id, App& app) {
  Process& process = app.services.process;
  switch (id) {
    case FormId::kMain:
      return std::make_unique<SceneForm>(
          app, std::make_unique<SceneWindowX11>(display_, loop_, process, scene_));
    case FormId::kPreview:
      return std::make_unique<PreviewForm>(
          app, std::make_unique<PreviewWindowX11>(display_, loop_, process, [&app] {
            if (Form* f = app.Find(FormId::kPreview)) app.forms.Unload(*f);
          }));
    case FormId::kConfig:
      // GTK must have been started (gtk::Start) before configuration mode runs.
      return std::make_unique<ConfigForm>(
          app, std::make_unique<GtkConfigView>(app.services.resources, process));
    case FormId::kInfo:
      return std::make_unique<InfoForm>(
          app, std::make_unique<GtkInfoView>(app.services.resources, process));
  }
  Raise(Err::kInvalidCall);
}

}  // namespace sarvel::x11
