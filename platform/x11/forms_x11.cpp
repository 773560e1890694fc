// X11: which window each form gets.
#include "platform/x11/forms_x11.h"

#include "platform/failure.h"
#include "platform/x11/preview_window_x11.h"
#include "preview/frm_preview.h"
#include "scene/frm_main.h"

namespace sarvel::x11 {

bool FormFactoryX11::Provides(FormId id) { return id == FormId::kMain || id == FormId::kPreview; }

std::unique_ptr<Form> FormFactoryX11::Create(FormId id, App& app) {
  Process& process = app.services.process;
  switch (id) {
    case FormId::kMain:
      return std::make_unique<FrmMain>(app, std::make_unique<SceneWindowX11>(display_, loop_, process, scene_));
    case FormId::kPreview:
      return std::make_unique<FrmPreview>(
          app, std::make_unique<PreviewWindowX11>(display_, loop_, process, [&app] {
            if (Form* f = app.Find(FormId::kPreview)) app.forms.Unload(*f);
          }));
    case FormId::kConfig:
    case FormId::kInfo:
      // ===== The settings dialog (frmConfig) and the about box (frmInfo) =====
      // Their GTK 3 views belong here, as FrmConfig over a ConfigView and
      // FrmInfo over an InfoView; Provides() then answers true for them.
      // Until they exist, main.cpp turns /C away before Main runs.
      Raise(Err::kInvalidCall, "The settings dialog is not part of this build");
  }
  Raise(Err::kInvalidCall);
}

}  // namespace sarvel::x11
