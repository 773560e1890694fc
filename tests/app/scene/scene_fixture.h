// A scene on the headless platform with test pictures whose colours tell
// which background was painted, and a random source the test controls.
#pragma once

#include <filesystem>
#include <memory>

#include "app/scene/scene.h"
#include "core/gfx/image.h"
#include "core/report/error_reporter.h"
#include "frontends/offscreen/scene_view_headless.h"
#include "tests/support/headless_platform.h"
#include "tests/support/scripted_random.h"
#include "tests/support/test_app.h"

namespace sarvel::testing {

// Icons: opaque 32 x 32 squares. Gradient bitmaps: 50 x 480, red in the
// first column, blue in the last, green between.
class TestResources : public ResourceLibrary {
 public:
  gfx::ImageRef Icon(int) override {
    if (!icon_) {
      auto img = std::make_shared<gfx::Image>(32, 32);
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) img->set(x, y, gfx::Rgb(200, 120, 40));
      img->UpdateOpaque();
      icon_ = img;
    }
    return icon_;
  }
  gfx::ImageRef IconForSize(int id, int) override { return Icon(id); }
  gfx::ImageRef Bitmap(int id) override {
    auto img = std::make_shared<gfx::Image>(50, 480);
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 50; ++x)
        img->set(x, y,
                 x == 0    ? gfx::Rgb(255, 0, 0)
                 : x == 49 ? gfx::Rgb(0, 0, 255)
                           : gfx::Rgb(0, uint8_t(id), 0));
    img->UpdateOpaque();
    return img;
  }

 private:
  gfx::ImageRef icon_;
};

class SceneFixture : public SceneEvents {
 public:
  explicit SceneFixture(int w = 1024, int h = 768, RandomSource* rng = nullptr, double scale = 1.0)
      : folder_(MakeTempFolder("scene")),
        own_rng_(7),
        rng_(rng ? *rng : own_rng_),
        reporter_(ErrorReporter::Services{p_.clock, p_.system, p_.exe, p_.files, p_.process}),
        view_(w, h, 0x1000, scale),
        scene_(SceneContext{settings, leaf_count, rng_, reporter_, resources, p_.clock, p_.regional,
                            p_.files},
               view_) {
    p_.exe.folder = folder_;
    settings.max_leaf = 10;
    settings.min_leaf = 7;
    settings.leaf_speed = 10.0f;
    settings.show_date = settings.show_time = 1;
    settings.auto_restart = 1;
    settings.restart_seconds = 600;
    settings.background_kind = 1;
    view_.SetEvents(this);
  }
  ~SceneFixture() override { testing::RemoveFolder(folder_); }

  void OnResize() override { scene_.LayOut(); }
  void OnTimer() override { scene_.OnFrameTimer(); }
  void OnMouseMove(float, float) override {}
  void OnMouseDown() override {}
  void OnClick() override {}
  void OnDblClick() override {}
  void OnKeyDown() override {}
  void OnKeyPress() override {}
  void OnTerminate() override {}

  int Protocols() {
    return CountOccurrences(ReadWholeFile(folder_ + "/Sarvel.EPT"), "F E H L E R");
  }
  std::string Log() { return ReadWholeFile(folder_ + "/Sarvel.EPT"); }

  Scene& scene() { return scene_; }
  headless::SceneViewHeadless& view() { return view_; }
  headless::Platform& platform() { return p_; }

  SaverSettings settings;
  int16_t leaf_count = 0;
  TestResources resources;

 private:
  std::string folder_;
  headless::Platform p_;
  DefaultRandom own_rng_;
  RandomSource& rng_;
  ErrorReporter reporter_;
  headless::SceneViewHeadless view_;
  Scene scene_;
};

}  // namespace sarvel::testing
