#include "frontends/offscreen/forms_headless.h"

#include "app/dialogs/preview_form.h"
#include "app/scene/scene_form.h"
#include "core/base/failure.h"
#include "frontends/offscreen/scene_view_headless.h"

namespace sarvel::headless {

std::unique_ptr<Form> FormFactoryHeadless::Create(FormId id, App& app) {
  switch (id) {
    case FormId::kMain:
      return std::make_unique<SceneForm>(
          app, std::make_unique<SceneViewHeadless>(screen_width_, screen_height_, 0x1000, scale_));
    case FormId::kPreview:
      return std::make_unique<PreviewForm>(app, std::make_unique<PreviewViewHeadless>(0x1010));
    case FormId::kConfig:
    case FormId::kInfo:
      break;
  }
  // Nobody sees a dialog off screen.
  Raise(Err::kInvalidCall);
}

}  // namespace sarvel::headless
