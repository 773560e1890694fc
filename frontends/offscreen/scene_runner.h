// A whole full-screen run on the headless platform: the real Main("/S"), the
// real scene, a clock that advances one frame interval per tick and a random
// generator fixed to a seed. The command-line renderer, the golden-frame and
// endurance tests and the benchmarks all drive the scene through this.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "frontends/offscreen/forms_headless.h"
#include "tests/support/headless_platform.h"
#include "frontends/offscreen/scene_view_headless.h"
#include "core/base/random.h"
#include "app/app.h"

namespace sarvel::headless {

struct SceneRunOptions {
  uint32_t seed = 1;
  // The screen in device pixels, and its device pixels per logical pixel:
  // 3840 x 2160 at scale 2 is a 1920 x 1080 scene drawn twice as fine.
  int width = 1024;
  int height = 768;
  double scale = 1.0;
  // Stored settings, as text, exactly as the store would hold them.
  std::string max_leaf = "10";
  std::string speed = "10";
  std::string background = "2";
  std::string picture{};
  std::string show_date = "1";
  std::string show_time = "1";
  std::string restart = "0";
  std::string restart_seconds = "600";
  uint32_t start_tick = 3600000;  // an hour after the system started
  LocalTime now{2026, 10, 18, 16, 20, 0, 0};
  bool advance_clock = false;  // let the date and time move with the frames
  Rendering rendering{};       // set once the run has started
  // Pictures to draw with instead of the program's own (long runs that only
  // follow the rules pass pictures of no size, so nothing is painted).
  ResourceLibrary* resources = nullptr;
  // The windows the forms get instead of the headless ones (a front end's
  // real scene window, driven frame by frame like the headless one).
  FormFactory* forms = nullptr;
};

// Pictures of no size: every sprite draw returns at once.
class EmptyResources : public ResourceLibrary {
 public:
  gfx::ImageRef Icon(int) override { return empty_; }
  gfx::ImageRef IconForSize(int, int) override { return empty_; }
  gfx::ImageRef Bitmap(int) override { return empty_; }

 private:
  gfx::ImageRef empty_ = std::make_shared<gfx::Image>(0, 0);
};

// Ignores the start-up's seeding from the time of day: the run's seed stays.
class FixedSeedRandom : public RandomSource {
 public:
  explicit FixedSeedRandom(uint32_t seed) : inner_(seed) {}
  void Seed(uint32_t) override {}
  float Next() override { return inner_.Next(); }

 private:
  DefaultRandom inner_;
};

class SceneRunner {
 public:
  explicit SceneRunner(const SceneRunOptions& options);
  ~SceneRunner();

  // Main("/S"). False when the run ended (or never started).
  bool Start();
  // One frame: the clock advances by the frame interval, the timer ticks
  // (delivered by hand to a front end's window, whose own timer is idle).
  // False once the run has ended.
  bool Frame();
  bool RunFrames(int n);
  // A size change of the window, as the window system reports it.
  bool ResizeWindow(int w, int h);
  // A move to a monitor of another device scale, with the window's new size.
  bool RescaleWindow(double scale, int w, int h);
  // The pointer over the window at (x, y), in device pixels.
  bool MovePointer(float x, float y);
  // The screen takes another size under the run.
  bool ChangeScreen(int w, int h);

  bool ended() const { return ended_; }
  App& app() { return *app_; }
  Platform& platform() { return platform_; }
  FrmMain* form();
  // The headless window; only when no other forms were given.
  SceneViewHeadless* view();
  Scene& scene() { return form()->scene(); }
  const gfx::Surface& WindowImage() { return view()->WindowImage(); }

 private:
  bool Guard(auto&& fn);

  SceneRunOptions options_;
  Platform platform_;
  FixedSeedRandom rng_;
  FormFactoryHeadless factory_;
  std::unique_ptr<App> app_;
  bool ended_ = false;
};

}  // namespace sarvel::headless
