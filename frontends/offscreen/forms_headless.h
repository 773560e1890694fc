// The off-screen windows of the forms: the scene's and the preview's in
// memory. There are no dialog windows off screen; tests add their own.
#pragma once

#include <memory>

#include "core/ports/form_factory.h"

namespace sarvel::headless {

class FormFactoryHeadless : public FormFactory {
 public:
  // The scene's screen: its size in device pixels and its device scale.
  FormFactoryHeadless(int screen_width = 1024, int screen_height = 768, double scale = 1.0)
      : screen_width_(screen_width), screen_height_(screen_height), scale_(scale) {}
  std::unique_ptr<SceneView> CreateSceneView() override;
  std::unique_ptr<PreviewView> CreatePreviewView() override;
  // Nobody sees a dialog off screen: these raise Err::kInvalidCall.
  std::unique_ptr<ConfigView> CreateConfigView() override;
  std::unique_ptr<InfoView> CreateInfoView() override;

 private:
  int screen_width_;
  int screen_height_;
  double scale_;
};

}  // namespace sarvel::headless
