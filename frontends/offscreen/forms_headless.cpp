#include "frontends/offscreen/forms_headless.h"

#include "app/dialogs/frm_info.h"
#include "tests/support/config_view_headless.h"
#include "tests/support/info_view_headless.h"
#include "frontends/offscreen/scene_view_headless.h"
#include "app/dialogs/frm_preview.h"
#include "app/scene/frm_main.h"
#include "app/dialogs/frm_config.h"

namespace sarvel::headless {

std::unique_ptr<Form> FormFactoryHeadless::Create(FormId id, App& app) {
  switch (id) {
    case FormId::kMain:
      return std::make_unique<FrmMain>(
          app, std::make_unique<SceneViewHeadless>(screen_width_, screen_height_, 0x1000, scale_));
    case FormId::kPreview:
      return std::make_unique<FrmPreview>(app, std::make_unique<PreviewViewHeadless>(0x1010));
    case FormId::kConfig:
      return std::make_unique<FrmConfig>(app, std::make_unique<ConfigViewHeadless>(0x1020));
    case FormId::kInfo:
      return std::make_unique<FrmInfo>(app, std::make_unique<InfoViewHeadless>(0x1030));
  }
  return nullptr;
}

}  // namespace sarvel::headless
