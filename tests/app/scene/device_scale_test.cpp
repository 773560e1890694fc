// The scene at device scales: its rules stay in logical pixels, so one seed
// gives the same sprites, waves and ground at every scale, frame after frame;
// only the drawing is finer. The logical size covers every device pixel; the
// background fills the whole window.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/scene/device_scale.h"
#include "core/gfx/painter.h"
#include "tests/app/scene/scene_fixture.h"
#include "tests/support/scene_run.h"

namespace sarvel {
namespace {

bool SameRecords(const std::array<SpriteRecord, kSpriteTableSize>& a,
                 const std::array<SpriteRecord, kSpriteTableSize>& b) {
  for (size_t i = 0; i < a.size(); ++i) {
    // Bit for bit: the same arithmetic on the same numbers.
    if (std::memcmp(&a[i].x, &b[i].x, sizeof(float)) != 0 ||
        std::memcmp(&a[i].y, &b[i].y, sizeof(float)) != 0 ||
        std::memcmp(&a[i].size, &b[i].size, sizeof(float)) != 0 || a[i].icon_id != b[i].icon_id ||
        a[i].active != b[i].active || a[i].matured != b[i].matured) {
      return false;
    }
  }
  return true;
}

::testing::AssertionResult SameLogicalState(Scene& a, Scene& b) {
  if (a.width() != b.width() || a.height() != b.height())
    return ::testing::AssertionFailure() << "logical size " << a.width() << "x" << a.height()
                                         << " against " << b.width() << "x" << b.height();
  if (!SameRecords(a.leaves, b.leaves))
    return ::testing::AssertionFailure() << "leaf sprites differ";
  if (!SameRecords(a.mushrooms, b.mushrooms))
    return ::testing::AssertionFailure() << "mushrooms differ";
  if (a.ground_base != b.ground_base || a.landing_line != b.landing_line ||
      a.wave_amplitude != b.wave_amplitude || a.wave_frequency != b.wave_frequency ||
      a.wave_phase != b.wave_phase || a.mature_count != b.mature_count ||
      a.last_restart != b.last_restart || a.speed() != b.speed())
    return ::testing::AssertionFailure() << "ground, wave or timing differ";
  for (int32_t x = a.ground_wave.first(); x <= a.ground_wave.last(); ++x) {
    if (a.ground_wave(x) != b.ground_wave(x))
      return ::testing::AssertionFailure() << "wave differs at " << x;
  }
  if (a.ground_wave.last() != b.ground_wave.last())
    return ::testing::AssertionFailure() << "wave length differs";
  return ::testing::AssertionSuccess();
}

headless::SceneRunOptions Options(uint32_t seed, int w, int h, double scale) {
  headless::SceneRunOptions o;
  o.seed = seed;
  o.width = int(std::lround(w * scale));
  o.height = int(std::lround(h * scale));
  o.scale = scale;
  o.Set<&SaverSettings::leaf_speed>("20");  // fast: mushrooms grow and mature, leaves settle
  o.Set<&SaverSettings::auto_restart>("1");
  o.Set<&SaverSettings::restart_seconds>("2");
  o.advance_clock = true;
  return o;
}

// Every scale, every frame: the sprite records, the ground wave and the
// ground of the scene at 1.25, 1.5 and 2 are those of the scene at 1, bit
// for bit, through settling, maturing, rising ground and restarts.
TEST(DeviceScale, TheSameSeedGivesTheSameLogicalStateAtEveryScale) {
  for (const double scale : {1.25, 1.5, 2.0}) {
    SCOPED_TRACE(scale);
    headless::SceneRunner one(Options(21, 640, 480, 1.0)), scaled(Options(21, 640, 480, scale));
    ASSERT_TRUE(one.Start());
    ASSERT_TRUE(scaled.Start());
    EXPECT_EQ(scaled.WindowImage().width(), int(std::lround(640 * scale)));
    EXPECT_EQ(scaled.scene().width(), 640);
    EXPECT_EQ(scaled.scene().height(), 480);
    ASSERT_TRUE(SameLogicalState(one.scene(), scaled.scene()));
    int restarts = 0, matured = 0;
    for (int frame = 0; frame < 700; ++frame) {
      const int32_t last = one.scene().last_restart;
      const int16_t mature = one.scene().mature_count;
      ASSERT_TRUE(one.Frame());
      ASSERT_TRUE(scaled.Frame());
      restarts += one.scene().last_restart != last;
      matured += one.scene().mature_count != mature;
      ASSERT_TRUE(SameLogicalState(one.scene(), scaled.scene())) << "frame " << frame;
    }
    EXPECT_GE(restarts, 3);
    EXPECT_GT(matured, 3);
    EXPECT_EQ(scaled.platform().process.beeps, 0);
  }
}

// The logical size is the device size divided by the scale, rounded up; the
// background (the test gradient, never black) covers every device pixel, to
// the last row and column, and the text stays inside the window.
TEST(DeviceScale, TheLogicalSizeCoversTheWindowAndTheBackgroundFillsIt) {
  struct Case {
    int w, h;
    double scale;
    int logical_w, logical_h;
  };
  for (const Case& c : {Case{1366, 768, 1.25, 1093, 615}, Case{999, 601, 1.5, 666, 401},
                        Case{1001, 777, 2.0, 501, 389}, Case{1100, 550, 1.1, 1000, 500},
                        Case{800, 600, 1.0, 800, 600}}) {
    SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " at " << c.scale);
    EXPECT_EQ(LogicalLength(c.w, c.scale), c.logical_w);
    EXPECT_EQ(LogicalLength(c.h, c.scale), c.logical_h);
    sarvel::testing::SceneFixture f(c.w, c.h, nullptr, c.scale);
    f.settings.background_kind = kBackgroundBlue;
    f.settings.show_date = f.settings.show_time = 0;
    f.scene().Start();
    Scene& s = f.scene();
    EXPECT_EQ(s.width(), c.logical_w);
    EXPECT_EQ(s.height(), c.logical_h);
    EXPECT_EQ(s.device_width(), c.w);
    ASSERT_EQ(s.background.width(), c.w);
    ASSERT_EQ(s.background.height(), c.h);
    long black = 0;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) black += s.background.at(x, y) == gfx::kBlack;
    EXPECT_EQ(black, 0);
    EXPECT_GE(s.address_label.left, 0);
    EXPECT_EQ(s.address_label.top + s.address_label.height, c.h);
    EXPECT_EQ(f.Protocols(), 0);
  }
  EXPECT_EQ(SaneScale(0.0), 1.0);
  EXPECT_EQ(SaneScale(std::nan("")), 1.0);
  EXPECT_EQ(SaneScale(100.0), 1.0);
  EXPECT_EQ(SaneScale(1.75), 1.75);
}

// The roundings themselves show in the golden frames at scales 1.25 to 2; a
// position that is not a number draws nowhere.
TEST(DeviceScale, APositionThatIsNoNumberDrawsNowhere) {
  EXPECT_EQ(DevicePosition(std::nanf(""), 2.0), kNowhere);
  EXPECT_EQ(DevicePosition(10.5f, 2.0), 21);
}

// A move to a monitor of another scale lays the scene out again: the same
// logical scene where the window's logical size is the same, drawn finer.
TEST(DeviceScale, AMoveToAnotherScaleLaysTheSceneOutAgain) {
  headless::SceneRunner run(Options(9, 400, 300, 1.0));
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.RunFrames(20));
  ASSERT_TRUE(run.RescaleWindow(2.0, 800, 600));
  EXPECT_EQ(run.scene().scale(), 2.0);
  EXPECT_EQ(run.scene().width(), 400);
  EXPECT_EQ(run.scene().sprites().scale(), 2.0);
  ASSERT_TRUE(run.RunFrames(50));
  EXPECT_EQ(run.WindowImage().width(), 800);
  EXPECT_TRUE(run.view()->last_refresh_whole() || !run.view()->last_refresh_rects().empty());
  ASSERT_TRUE(run.RescaleWindow(1.5, 600, 450));
  ASSERT_TRUE(run.RunFrames(50));
  EXPECT_EQ(run.scene().width(), 400);
  EXPECT_EQ(run.platform().process.beeps, 0);
}

}  // namespace
}  // namespace sarvel
