// The scene's rules, driven step by step with a random source the test
// controls and pictures whose colours tell what was drawn where. (The
// layout's ranges, counts and places show in every golden frame.)
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "core/gfx/painter.h"
#include "tests/app/scene/scene_fixture.h"

namespace sarvel {
namespace {

using testing::SceneFixture;
using testing::ScriptedRandom;

struct Draw {
  int lower, upper, value;
};

// Queues the r values that make the next RandomInt calls give these values.
void Script(ScriptedRandom& rng, std::initializer_list<Draw> draws) {
  for (const Draw& d : draws) {
    const int span = d.upper - d.lower + 1;
    rng.Push((float(d.value - d.lower) + 0.5f) / float(span));
  }
}

class SceneRules : public ::testing::Test {
 protected:
  SceneRules() : f_(1024, 768, &rng_) {
    rng_.Push(0.5f);
    f_.scene().Start();
    rng_ = ScriptedRandom();
    rng_.Push(0.5f);
  }
  Scene& s() { return f_.scene(); }

  ScriptedRandom rng_;
  SceneFixture f_;
};

TEST_F(SceneRules, TheGroundRisesAndJumpsBackFromBelowTenToAHundred) {
  f_.leaf_count = 0;
  SpriteRecord& m = s().mushrooms[0];
  m = SpriteRecord{300.0f, 500.0f, 43.0f, 120, true, true};
  s().ground_base = 10;
  s().landing_line = 50;
  s().mature_count = 5;
  s().GrowMushrooms();
  EXPECT_EQ(s().ground_base, 100);
  EXPECT_EQ(s().landing_line, 49);
  EXPECT_EQ(s().mature_count, 6);
  EXPECT_FALSE(m.active);
  EXPECT_FALSE(m.matured);
  EXPECT_TRUE(m.size >= 5.0f && m.size <= 15.0f);
  // Reborn: not drawn in this frame nor the next; grows from the one after.
  s().GrowMushrooms();
  EXPECT_TRUE(m.active);
  const float size = m.size;
  s().GrowMushrooms();
  EXPECT_GT(m.size, size);
}

TEST_F(SceneRules, EveryTwentiethMaturingDriftsTheWaveIncludingTheWrapTo0) {
  f_.leaf_count = 0;
  for (int before : {19, 3000, 7}) {
    SpriteRecord& m = s().mushrooms[0];
    m = SpriteRecord{300.0f, 500.0f, 43.0f, 120, true, true};
    s().mature_count = int16_t(before);
    s().ground_base = 500;
    const int16_t amplitude = s().wave_amplitude;
    const int16_t frequency = s().wave_frequency;
    rng_ = ScriptedRandom();
    if (before != 7) Script(rng_, {{-3, 5, 5}, {-2, 1, -2}, {-2, 2, 2}});
    rng_.Push(0.5f);
    s().GrowMushrooms();
    if (before == 7) {
      EXPECT_EQ(s().wave_amplitude, amplitude);
      EXPECT_EQ(s().ground_base, 499);
      continue;
    }
    EXPECT_EQ(s().mature_count, before == 19 ? 20 : 0);
    EXPECT_EQ(s().wave_drift, 5);
    EXPECT_EQ(s().wave_amplitude, amplitude + 5);
    EXPECT_EQ(s().wave_frequency, frequency - 2);
    EXPECT_EQ(s().ground_base, 499 + 25);
    EXPECT_EQ(s().landing_line, s().ground_base + s().wave_amplitude);
  }
}

TEST(SceneWave, AResizeOnlyDriftsTheWaveARestartDrawsANewOne) {
  DefaultRandom rng(99);
  SceneFixture f(800, 600, &rng);
  f.settings.auto_restart = 1;
  f.settings.restart_seconds = 60;
  f.scene().Start();
  const int16_t amplitude = f.scene().wave_amplitude;
  const int16_t frequency = f.scene().wave_frequency;
  f.view().Resize(700, 500);
  EXPECT_EQ(f.scene().wave_amplitude, amplitude + f.scene().wave_drift);
  EXPECT_GE(f.scene().wave_frequency, frequency - 2);
  EXPECT_LE(f.scene().wave_frequency, frequency + 1);
  EXPECT_EQ(f.scene().ground_base, 450);
  // A flat wave would make the ground a straight line; this one is a hill.
  int16_t highest = -999;
  for (int x = -100; x <= 800; ++x) highest = std::max(highest, f.scene().ground_wave(x));
  EXPECT_GT(highest, 10);

  const int16_t drift = f.scene().wave_drift;
  f.platform().clock.tick = 100000;
  f.view().Tick();  // sets last_restart
  f.platform().clock.tick = 100000 + 60001;
  f.view().Tick();  // restarts
  EXPECT_GE(f.scene().wave_amplitude, 30 + drift);
  EXPECT_LE(f.scene().wave_amplitude, 60 + drift);
  EXPECT_GE(f.scene().wave_frequency, 2);
  EXPECT_LE(f.scene().wave_frequency, 10);
}

TEST(SceneBackground, BlackAfterARestartThePreviousBackgroundAfterAResize) {
  DefaultRandom rng(5);
  SceneFixture f(1024, 768, &rng);
  f.settings.background_kind = 2;
  f.settings.restart_seconds = 60;
  f.scene().Start();
  f.settings.background_kind = 1;
  f.view().Resize(1000, 700);  // a plain resize: the stored picture is the gradient
  EXPECT_EQ(f.scene().background.at(0, 0), gfx::Rgb(255, 0, 0));
  f.platform().clock.tick = 5000000;
  f.view().Tick();
  f.platform().clock.tick += 60001;
  f.view().Tick();  // a restart drops the stored picture
  EXPECT_EQ(f.scene().background.at(0, 0), gfx::kBlack);
  EXPECT_EQ(f.scene().background.at(500, 10), gfx::kBlack);
}

TEST(SceneBackground, TheDesktopIsCapturedOnceAndReused) {
  DefaultRandom rng(5);
  SceneFixture f(640, 480, &rng);
  f.settings.background_kind = 4;
  f.settings.restart_seconds = 60;
  f.scene().Start();
  EXPECT_TRUE(f.scene().desktop_captured);
  EXPECT_EQ(f.scene().background.at(3, 3), f.view().desktop.at(3, 3));
  // Paint the desktop over: a restart must show the first capture, not this.
  gfx::FillRect(f.view().desktop, f.view().desktop.bounds(), gfx::Rgb(1, 2, 3));
  f.platform().clock.tick = 5000000;
  f.view().Tick();
  f.platform().clock.tick += 60001;
  f.view().Tick();
  EXPECT_NE(f.scene().background.at(3, 3), gfx::Rgb(1, 2, 3));
}

TEST(SceneRestart, LastRestartIsSetFirstThenAFullIntervalPasses) {
  DefaultRandom rng(11);
  SceneFixture f(320, 240, &rng);
  f.settings.restart_seconds = 60;
  f.platform().clock.tick = 1000;  // a machine that just started
  f.scene().Start();
  auto laid_out_again = [&] { return f.scene().leaves[0].icon_id != 999; };
  auto tick_at = [&](uint32_t t) {
    f.scene().leaves[0].icon_id = 999;
    f.platform().clock.tick = t;
    f.view().Tick();
  };
  tick_at(59000);
  EXPECT_EQ(f.scene().last_restart, 0);
  tick_at(60001);
  EXPECT_EQ(f.scene().last_restart, 60001);  // set, but no restart
  EXPECT_FALSE(laid_out_again());
  tick_at(120001);
  EXPECT_FALSE(laid_out_again());  // not more than the interval yet
  tick_at(120002);
  EXPECT_TRUE(laid_out_again());
  EXPECT_EQ(f.scene().last_restart, 120002);
  EXPECT_EQ(f.scene().mature_count, 0);
  f.settings.auto_restart = 0;
  tick_at(400000);
  EXPECT_FALSE(laid_out_again());
}

// The tick count's wrap-arounds: the endurance test's sixty days.
TEST(SceneRestart, TheLongestIntervalIsNoOverflow) {
  DefaultRandom rng(3);
  SceneFixture f(320, 240, &rng);
  f.settings.restart_seconds = 2147483647;  // x 1000 is no overflow
  f.scene().Start();
  f.view().Tick();
  EXPECT_EQ(f.Protocols(), 0);
}

TEST(SceneSettings, ValuesTheDialogCannotProduceDoNotEndTheRun) {
  struct Case {
    int16_t max_leaf, min_leaf;
    float speed;
  } cases[] = {{100, 70, 10.0f}, {10, 7, 0.0f},   {10, 7, -3.0f},
               {10, 7, 1e30f},   {-5, -3, 10.0f}, {30000, 21000, 10.0f}};
  for (const Case& c : cases) {
    DefaultRandom rng(17);
    SceneFixture f(400, 300, &rng);
    f.settings.max_leaf = c.max_leaf;
    f.settings.min_leaf = c.min_leaf;
    f.settings.leaf_speed = c.speed;
    f.scene().Start();
    for (int i = 0; i < 300; ++i) f.view().Tick();
    EXPECT_LE(f.leaf_count, 500);
    EXPECT_GE(f.scene().timer_interval(), 1);
    EXPECT_EQ(f.Protocols(), 0) << c.max_leaf << " " << c.speed << "\n" << f.Log();
  }
  SceneFixture slow(400, 300);
  slow.settings.leaf_speed = 0.0f;
  slow.scene().Start();
  EXPECT_EQ(slow.scene().timer_interval(), 1500);
  EXPECT_EQ(slow.scene().speed(), 0.1f);
}

}  // namespace
}  // namespace sarvel
