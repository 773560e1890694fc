// Long runs of the real scene, following the rules without painting: days of
// frames at full speed must end neither in a range failure of the scene's own
// state nor at the tick count's wrap-around.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/scene_run.h"

namespace sarvel {
namespace {

// SARVEL_ENDURANCE_HOURS stretches the run (make soak runs the full 72);
// the sanitizer build runs a quarter of the default.
double HoursToRun(double by_default) {
  if (const char* v = std::getenv("SARVEL_ENDURANCE_HOURS")) return std::atof(v);
#if defined(__SANITIZE_ADDRESS__)
  return by_default / 4;
#else
  return by_default;
#endif
}

// A small scene that draws nothing.
headless::SceneRunOptions Small(uint32_t seed, const char* restart) {
  static headless::EmptyResources nothing;
  headless::SceneRunOptions o{.seed = seed, .width = 160, .height = 120};
  o.Set<&SaverSettings::auto_restart>(restart);
  o.resources = &nothing;
  return o;
}

TEST(Endurance, HoursAtFullSpeedWithoutRestart) {
  headless::SceneRunner run(Small(2026, "0"));
  ASSERT_TRUE(run.Start());
  const double hours = HoursToRun(1.0);
  const int64_t frames = int64_t(hours * 3600.0 * 1000.0 / 15.0);
  int16_t widest = 0;
  for (int64_t i = 0; i < frames; ++i) {
    ASSERT_TRUE(run.Frame()) << "ended after " << i << " frames";
    widest = std::max<int16_t>(widest, int16_t(std::abs(run.scene().wave_amplitude)));
  }
  EXPECT_EQ(run.platform().process.beeps, 0);  // no failure was reported
  EXPECT_EQ(run.scene().last_restart, 0);
  std::printf("%.1f simulated hours, %lld frames, widest wave %d\n", hours, (long long)frames,
              widest);
}

TEST(Endurance, SixtyDaysOfTickCountAcrossBothWraps) {
  headless::SceneRunOptions o = Small(9, "1");
  o.Set<&SaverSettings::restart_seconds>("600");
  o.start_tick = 0;
  headless::SceneRunner run(o);
  ASSERT_TRUE(run.Start());
  // Half a minute of tick count per frame: 60 days in 172 800 frames, a
  // restart every 21 frames, through 24.8 and 49.7 days of uptime.
  int restarts = 0;
  int32_t last = 0;
  for (int i = 0; i < 172800; ++i) {
    run.platform().clock.tick += 30000 - 15;
    ASSERT_TRUE(run.Frame()) << "ended at frame " << i;
    if (run.scene().last_restart != last) {
      ++restarts;
      last = run.scene().last_restart;
    }
  }
  EXPECT_EQ(run.platform().process.beeps, 0);
  EXPECT_GT(restarts, 8000);  // every 10 minutes, through both wraps
}

}  // namespace
}  // namespace sarvel
