// A whole full-screen run off screen: the real Main of a full-screen request, the real scene, a
// clock that advances one frame interval per tick and a random generator
// fixed to a seed. The command-line renderer and the benchmarks drive the
// scene through this on the off-screen host's services, the golden-frame and
// endurance tests on their observable fakes of them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "app/app.h"
#include "app/forms/app_forms.h"
#include "app/options.h"
#include "app/scene/scene_form.h"
#include "core/base/random.h"
#include "frontends/offscreen/forms_headless.h"
#include "frontends/offscreen/offscreen_platform.h"
#include "frontends/offscreen/scene_view_headless.h"

namespace sarvel::headless {

inline std::map<std::string, std::string, std::less<>> RunDefaults() {
  std::map<std::string, std::string, std::less<>> stored;
  for (const SettingOption& option : kSettingOptions) {
    std::string_view text = option.default_text;
    if (option.key == OptionOf(&SaverSettings::background_kind).key) text = "2";
    if (option.key == OptionOf(&SaverSettings::auto_restart).key) text = "0";
    stored.emplace(option.key, text);
  }
  return stored;
}

struct SceneRunOptions {
  uint32_t seed = 1;
  // The screen in device pixels, and its device pixels per logical pixel:
  // 3840 x 2160 at scale 2 is a 1920 x 1080 scene drawn twice as fine.
  int width = 1024;
  int height = 768;
  double scale = 1.0;
  // Stored settings, as text, exactly as the store would hold them, by key:
  // every option's default, but a blue sky and no restarts, so that a run's
  // frames depend on its seed alone.
  std::map<std::string, std::string, std::less<>> stored = RunDefaults();
  // Stores one setting: o.Set<&SaverSettings::leaf_speed>("20").
  template <auto Field>
  void Set(std::string text) {
    stored[std::string(OptionOf(Field).key)] = std::move(text);
  }
  uint32_t start_tick = 3600000;  // an hour after the system started
  LocalTime now{2026, 10, 18, 16, 20, 0, 0};
  bool advance_clock = false;  // let the date and time move with the frames
  Rendering rendering{};       // set once the run has started
  // Pictures to draw with instead of the program's own (long runs that only
  // follow the rules pass pictures of no size, so nothing is painted).
  ResourceLibrary* resources = nullptr;
  // The windows the forms get instead of the headless ones (a front end's
  // real scene window, driven frame by frame like the headless one).
  FormFactory* windows = nullptr;
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

// Platform: the services as members (store.values, clock.tick and clock.now
// among them) and services() handing them to the app.
template <class Platform>
class SceneRunnerOn {
 public:
  explicit SceneRunnerOn(const SceneRunOptions& o)
      : options_(o),
        rng_(o.seed),
        factory_(o.width, o.height, o.scale),
        forms_(o.windows ? *o.windows : static_cast<FormFactory&>(factory_)) {
    for (const auto& [key, text] : o.stored) platform_.store.values[key] = text;
    platform_.clock.tick = o.start_tick;
    platform_.clock.now = o.now;
    PlatformServices services = platform_.services();
    app_ = std::make_unique<App>(
        o.resources
            ? PlatformServices{services.system, services.store, services.regional, services.clock,
                               services.exe, services.files, services.process, *o.resources}
            : services,
        rng_, forms_);
  }

  // Main of a full-screen request. False when the run ended (or never
  // started).
  bool Start() {
    Guard([&] { app_->Main(RunRequest{}); });
    if (!ended_ && !form()) ended_ = true;  // another instance, or nothing opened
    if (!ended_) scene().set_rendering(options_.rendering);
    return !ended_;
  }
  // One frame: the clock advances by the frame interval, the timer ticks
  // (delivered by hand to a front end's window, whose own timer is idle).
  // False once the run has ended.
  bool Frame() {
    return Guard([&] {
      const int32_t interval = std::max(1, scene().timer_interval());
      platform_.clock.tick += uint32_t(interval);
      if (options_.advance_clock) platform_.clock.AdvanceTimeOfDay(interval);
      if (options_.windows)
        form()->OnTimer();
      else
        view()->Tick();
    });
  }
  bool RunFrames(int n) {
    for (int i = 0; i < n; ++i) {
      if (!Frame()) return false;
    }
    return true;
  }
  // A size change of the window, as the window system reports it.
  bool ResizeWindow(int w, int h) {
    return Guard([&] { view()->Resize(w, h); });
  }
  // A move to a monitor of another device scale, with the window's new size.
  bool RescaleWindow(double scale, int w, int h) {
    return Guard([&] { view()->Rescale(scale, w, h); });
  }
  // The pointer over the window at (x, y), in device pixels.
  bool MovePointer(float x, float y) {
    return Guard([&] { view()->MovePointer(x, y); });
  }
  // The screen takes another size under the run.
  bool ChangeScreen(int w, int h) {
    return Guard([&] { view()->ChangeScreen(w, h); });
  }

  bool ended() const { return ended_; }
  App& app() { return *app_; }
  Platform& platform() { return platform_; }
  SceneForm* form() { return static_cast<SceneForm*>(app_->Find(FormId::kScene)); }
  // The headless window; only when no other forms were given.
  SceneViewHeadless* view() { return static_cast<SceneViewHeadless*>(&form()->view()); }
  Scene& scene() { return form()->scene(); }
  const gfx::Surface& WindowImage() { return view()->WindowImage(); }

 private:
  bool Guard(auto&& fn) {
    if (ended_) return false;
    try {
      fn();
    } catch (const ProgramEnded&) {
      ended_ = true;
    }
    return !ended_;
  }

  SceneRunOptions options_;
  Platform platform_;
  FixedSeedRandom rng_;
  FormFactoryHeadless factory_;
  AppForms forms_;
  std::unique_ptr<App> app_;
  bool ended_ = false;
};

// sarvel-render's and the benchmarks' run.
using OffscreenSceneRunner = SceneRunnerOn<OffscreenPlatform>;

}  // namespace sarvel::headless
