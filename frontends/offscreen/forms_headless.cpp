#include "frontends/offscreen/forms_headless.h"

#include "core/base/failure.h"
#include "frontends/offscreen/scene_view_headless.h"

namespace sarvel::headless {

std::unique_ptr<SceneView> FormFactoryHeadless::CreateSceneView() {
  return std::make_unique<SceneViewHeadless>(screen_width_, screen_height_, 0x1000, scale_);
}

std::unique_ptr<PreviewView> FormFactoryHeadless::CreatePreviewView() {
  return std::make_unique<PreviewViewHeadless>(0x1010);
}

std::unique_ptr<ConfigView> FormFactoryHeadless::CreateConfigView() { Raise(Err::kInvalidCall); }

std::unique_ptr<InfoView> FormFactoryHeadless::CreateInfoView() { Raise(Err::kInvalidCall); }

}  // namespace sarvel::headless
