#include "frontends/offscreen/scene_runner.h"

namespace sarvel::headless {

SceneRunner::SceneRunner(const SceneRunOptions& o)
    : options_(o), rng_(o.seed), factory_(o.width, o.height, o.scale) {
  platform_.store.values = {{"maxL", o.max_leaf},          {"SpeedL", o.speed},
                            {"Background", o.background},  {"PicFile", o.picture},
                            {"Date", o.show_date},         {"Time", o.show_time},
                            {"Restart", o.restart},        {"rTime", o.restart_seconds}};
  platform_.clock.tick = o.start_tick;
  platform_.clock.now = o.now;
  PlatformServices services = platform_.services();
  app_ = std::make_unique<App>(
      o.resources
          ? PlatformServices{services.system, services.store, services.regional, services.clock,
                             services.exe, services.files, services.process, *o.resources}
          : services,
      rng_, o.forms ? *o.forms : static_cast<FormFactory&>(factory_));
}

SceneRunner::~SceneRunner() = default;

bool SceneRunner::Guard(auto&& fn) {
  if (ended_) return false;
  try {
    fn();
  } catch (const ProgramEnded&) {
    ended_ = true;
  }
  return !ended_;
}

bool SceneRunner::Start() {
  Guard([&] { app_->Main("/S"); });
  if (!ended_ && !form()) ended_ = true;  // another instance, or nothing opened
  if (!ended_) scene().set_rendering(options_.rendering);
  return !ended_;
}

FrmMain* SceneRunner::form() {
  return static_cast<FrmMain*>(app_->Find(FormId::kMain));
}

SceneViewHeadless* SceneRunner::view() { return static_cast<SceneViewHeadless*>(&form()->view()); }

bool SceneRunner::Frame() {
  return Guard([&] {
    const int32_t interval = std::max(1, scene().timer_interval());
    platform_.clock.tick += uint32_t(interval);
    if (options_.advance_clock) {
      LocalTime& t = platform_.clock.now;
      t.millisecond += interval;
      while (t.millisecond >= 1000) {
        t.millisecond -= 1000;
        if (++t.second == 60) {
          t.second = 0;
          if (++t.minute == 60) {
            t.minute = 0;
            t.hour = (t.hour + 1) % 24;
          }
        }
      }
    }
    if (options_.forms)
      form()->OnTimer();
    else
      view()->Tick();
  });
}

bool SceneRunner::RunFrames(int n) {
  for (int i = 0; i < n; ++i) {
    if (!Frame()) return false;
  }
  return true;
}

bool SceneRunner::ResizeWindow(int w, int h) {
  return Guard([&] { view()->Resize(w, h); });
}

bool SceneRunner::RescaleWindow(double scale, int w, int h) {
  return Guard([&] { view()->Rescale(scale, w, h); });
}

bool SceneRunner::MovePointer(float x, float y) {
  return Guard([&] { view()->MovePointer(x, y); });
}

bool SceneRunner::ChangeScreen(int w, int h) {
  return Guard([&] { view()->ChangeScreen(w, h); });
}

}  // namespace sarvel::headless
