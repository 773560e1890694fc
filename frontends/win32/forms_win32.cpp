#include "frontends/win32/forms_win32.h"

#include "frontends/win32/config_view_win32.h"
#include "frontends/win32/info_view_win32.h"
#include "frontends/win32/preview_window_win32.h"
#include "frontends/win32/scene_window_win32.h"

namespace sarvel::win32 {

std::unique_ptr<SceneView> FormFactoryWin32::CreateSceneView() {
  return std::make_unique<SceneWindowWin32>(process_);
}

std::unique_ptr<PreviewView> FormFactoryWin32::CreatePreviewView() {
  return std::make_unique<PreviewWindowWin32>(process_);
}

std::unique_ptr<ConfigView> FormFactoryWin32::CreateConfigView() {
  return std::make_unique<ConfigViewWin32>(resources_, process_);
}

std::unique_ptr<InfoView> FormFactoryWin32::CreateInfoView() {
  return std::make_unique<InfoViewWin32>(resources_, process_);
}

}  // namespace sarvel::win32
