// A whole full-screen run of the real scene on the observable headless
// platform (tests/support/headless_platform.h).
#pragma once

#include <memory>

#include "frontends/offscreen/scene_runner.h"
#include "tests/support/headless_platform.h"

namespace sarvel::headless {

using SceneRunner = SceneRunnerOn<Platform>;

// Pictures of no size: every sprite draw returns at once.
class EmptyResources : public ResourceLibrary {
 public:
  gfx::ImageRef Icon(int) override { return empty_; }
  gfx::ImageRef IconForSize(int, int) override { return empty_; }
  gfx::ImageRef Bitmap(int) override { return empty_; }

 private:
  gfx::ImageRef empty_ = std::make_shared<gfx::Image>(0, 0);
};

}  // namespace sarvel::headless
