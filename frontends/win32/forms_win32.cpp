// Win32: which native window each form gets.
#include "frontends/win32/forms_win32.h"

#include "app/dialogs/config_form.h"
#include "app/dialogs/info_form.h"
#include "app/dialogs/preview_form.h"
#include "app/scene/scene_form.h"
#include "frontends/win32/config_view_win32.h"
#include "frontends/win32/info_view_win32.h"
#include "frontends/win32/preview_window_win32.h"
#include "frontends/win32/scene_window_win32.h"

namespace sarvel::win32 {

std::unique_ptr<Form> FormFactoryWin32::Create(FormId id, App& app) {
  Process& process = app.services.process;
  switch (id) {
    case FormId::kMain:
      return std::make_unique<SceneForm>(app, std::make_unique<SceneWindowWin32>(process));
    case FormId::kPreview:
      return std::make_unique<PreviewForm>(app,
                                           std::make_unique<PreviewWindowWin32>(process, [&app] {
                                             if (Form* f = app.Find(FormId::kPreview))
                                               app.forms.Unload(*f);
                                           }));
    case FormId::kConfig:
      return std::make_unique<ConfigForm>(
          app, std::make_unique<ConfigViewWin32>(app.services.resources, process));
    case FormId::kInfo:
      return std::make_unique<InfoForm>(
          app, std::make_unique<InfoViewWin32>(app.services.resources, process));
  }
  return nullptr;
}

}  // namespace sarvel::win32
