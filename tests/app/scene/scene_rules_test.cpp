// The scene's rules, driven step by step with a random source the test
// controls and pictures whose colours tell what was drawn where.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <set>

#include "core/gfx/painter.h"
#include "tests/app/scene/scene_fixture.h"

namespace sarvel {
namespace {

using testing::SceneFixture;
using testing::ScriptedRandom;
using testing::TestResources;

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

gfx::Argb At(const gfx::Surface& s, int x, int y) { return s.at(x, y); }

TEST(SceneLayout, DefaultSettingsGive141To201LeavesAnd47To67Mushrooms) {
  std::set<int> counts;
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    DefaultRandom rng(seed);
    SceneFixture f(640, 480, &rng);
    f.scene().Start();
    ASSERT_GE(f.leaf_count, 140);
    ASSERT_LE(f.leaf_count, 200);
    counts.insert(f.leaf_count);
    EXPECT_GE(f.leaf_count / 3 + 1, 47);
    EXPECT_LE(f.leaf_count / 3 + 1, 67);
    for (int i = 0; i <= f.leaf_count; ++i) {
      const SpriteRecord& s = f.scene().leaves[size_t(i)];
      ASSERT_TRUE(s.x >= -20.0f && s.x <= 640.0f && s.y >= 0.0f && s.y <= 408.0f);
      ASSERT_TRUE(s.size >= 24.0f && s.size <= 34.0f && s.icon_id >= 141 && s.icon_id <= 190);
    }
    for (int i = 0; i <= f.leaf_count / 3; ++i) {
      const SpriteRecord& m = f.scene().mushrooms[size_t(i)];
      ASSERT_TRUE(m.active && m.icon_id >= 101 && m.icon_id <= 140);
      ASSERT_TRUE(m.size >= 16.0f && m.size <= 40.0f);
      // Its top lies 20 to 60 pixels above the bottom edge, lifted by the wave.
      const float lift = 480.0f - m.y - float(f.scene().ground_wave(int(m.x)));
      ASSERT_TRUE(lift >= 19.5f && lift <= 60.5f) << lift;
    }
    EXPECT_EQ(f.scene().mushrooms[size_t(f.leaf_count / 3 + 1)].icon_id, 0);
    EXPECT_EQ(f.Protocols(), 0);
  }
  EXPECT_GT(counts.size(), 10u);
}

TEST(SceneLayout, TheLeafCarpetLiesInFiveRowsAboveTheBottomEdge) {
  ScriptedRandom rng;  // every draw r = 0.5
  rng.Push(0.5f);
  SceneFixture f(1024, 768, &rng);
  f.scene().Start();
  const Scene& s = f.scene();
  // x = -20 + floor(1045 * 0.5) = 502 for every carpet leaf; id 166.
  const int wave = const_cast<Scene&>(s).ground_wave(502);
  int tops[6];
  for (int j = 1; j <= 5; ++j) {
    const int y = int(std::lrint(768.0 - wave - j * 15));
    tops[j] = (y - 20) + int(std::floor(float((738 - (y - 20) + 1)) * 0.5f));
  }
  const gfx::Argb leaf = TestResources::ColourOf(166);
  // The rows overlap into one column of leaves from the highest row's top
  // down to the bottom edge; the lowest row's top bound lies below its
  // upper bound (H - 30), the reversed-bounds case of RandomInt.
  EXPECT_EQ(tops[1], 742);
  EXPECT_EQ(tops[5], 712);
  EXPECT_EQ(At(s.background, 502 + 16, tops[5] - 1), gfx::kBlack);
  for (int y = tops[5]; y < 768; ++y) ASSERT_EQ(At(s.background, 502 + 16, y), leaf) << y;
  EXPECT_EQ(At(s.background, 501, tops[3]), gfx::kBlack);  // left of the column
  EXPECT_EQ(At(s.background, 534, tops[3]), gfx::kBlack);  // right of it
  EXPECT_EQ(s.ground_base, 691);                           // 0.9 H
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

TEST_F(SceneRules, EvenEntriesSinkOddEntriesSettleWhereTheyAre) {
  f_.leaf_count = 1;
  s().landing_line = 45;
  s().ground_base = 600;
  for (SpriteRecord* sp : {&s().leaves[0], &s().leaves[1]}) {
    sp->x = 100.0f;
    sp->y = 700.0f;
    sp->size = 32.0f;
    sp->icon_id = 150;
  }
  s().leaves[1].x = 400.0f;
  s().leaves[1].icon_id = 151;
  rng_ = ScriptedRandom();
  Script(rng_, {{30, 100, 30},
                {700, 748, 720},  // entry 0 settles, sinks
                {141, 190, 160},
                {24, 34, 30},
                {0, 1024, 500},  // and starts again
                {-3, 70, 0},
                {-3, 6, 0},     // falls, drifts
                {30, 100, 30},  // entry 1 settles
                {141, 190, 161},
                {24, 34, 30},
                {0, 1024, 600},
                {-3, 70, 0},
                {-3, 6, 0}});
  s().MoveLeaves();
  EXPECT_EQ(At(s().background, 100, 722),
            TestResources::ColourOf(150));  // sank to 720, drawn 2 lower
  EXPECT_EQ(At(s().background, 100, 721), At(s().background, 99, 721));   // nothing above it
  EXPECT_EQ(At(s().background, 400, 702), TestResources::ColourOf(151));  // settled where it was
  const SpriteRecord& a = s().leaves[0];
  EXPECT_EQ(a.icon_id, 160);
  EXPECT_EQ(a.size, 30.0f);
  EXPECT_EQ(a.x, 500.0f);
  EXPECT_EQ(a.y, -8.0f);  // -10, then a fall of 0 + 2
  EXPECT_EQ(f_.Protocols(), 0);
}

TEST_F(SceneRules, ASinkingEntryBelowTheLimitFollowsTheReversedBoundsFormula) {
  f_.leaf_count = 0;
  s().landing_line = 45;
  s().ground_base = 600;
  SpriteRecord& sp = s().leaves[0];
  sp = SpriteRecord{100.0f, 760.0f, 32.0f, 150, false, false};
  rng_ = ScriptedRandom();
  Script(rng_, {{30, 100, 30}});
  rng_.Push(0.5f);  // RandomInt(760, 748): span -11, 760 + floor(-5.5) = 754
  s().MoveLeaves();
  EXPECT_EQ(At(s().background, 100, 756), TestResources::ColourOf(150));
  EXPECT_NE(At(s().background, 100, 755), TestResources::ColourOf(150));
}

TEST_F(SceneRules, SpritesWrapAtBothEdges) {
  f_.leaf_count = 0;
  s().landing_line = 30000;
  struct Case {
    float x;
    int drift;
    float expected;
  } cases[] = {{1020.0f, 2, 6.0f}, {1020.0f, 1, 1019.0f}, {5.0f, -3, 1019.0f}, {500.0f, 6, 560.0f}};
  for (const Case& c : cases) {
    SpriteRecord& sp = s().leaves[0];
    sp = SpriteRecord{c.x, 10.0f, 30.0f, 150, false, false};
    rng_ = ScriptedRandom();
    Script(rng_, {{-3, 70, 0}, {-3, 6, c.drift}});
    s().MoveLeaves();
    EXPECT_EQ(sp.x, c.expected) << c.x << " " << c.drift;
  }
}

TEST_F(SceneRules, AMushroomMaturesWithOneLeafUnderItAndOneOver) {
  f_.leaf_count = 0;
  SpriteRecord& m = s().mushrooms[0];
  m = SpriteRecord{300.0f, 500.0f, 42.9f, 120, true, false};
  rng_ = ScriptedRandom();
  Script(rng_, {{10, 50, 50},
                {141, 190, 150},
                {-20, 20, -10},
                {10, 35, 20},
                {141, 190, 160},
                {-20, 20, 10},
                {15, 44, 40}});
  s().GrowMushrooms();
  EXPECT_TRUE(m.matured);
  EXPECT_NEAR(m.y, 497.8f, 1e-3);
  const gfx::Surface& bg = s().background;
  EXPECT_EQ(At(bg, 295, 530), TestResources::ColourOf(150));  // the leaf under, on its own
  EXPECT_EQ(At(bg, 305, 525), TestResources::ColourOf(120));  // the mushroom covers it
  EXPECT_EQ(At(bg, 315, 540), TestResources::ColourOf(160));  // the leaf over covers both
  EXPECT_EQ(At(bg, 343, 541), TestResources::ColourOf(120));  // 44 x 44, from (300, 498)
  EXPECT_NE(At(bg, 344, 510), TestResources::ColourOf(120));
  EXPECT_EQ(At(s().FrameSurface(), 320, 520), TestResources::ColourOf(120));  // drawn growing too
}

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

TEST(SceneBackground, TwelveGradientStripsCoverAWindow1024Wide) {
  SceneFixture f(1024, 768);
  f.settings.background_kind = 2;
  f.scene().Start();
  const gfx::Surface& bg = f.scene().background;
  EXPECT_EQ(f.scene().gradient_picture->width(), 50);
  for (int k = 0; k < 12; ++k) {
    EXPECT_EQ(At(bg, 88 * k, 5), gfx::Rgb(255, 0, 0)) << k;  // a strip's first column
    if (k > 0) {
      EXPECT_EQ(At(bg, 88 * k - 1, 5), gfx::Rgb(0, 0, 255)) << k;  // the last of the one before
    }
    EXPECT_EQ(At(bg, 88 * k + 40, 5), gfx::Rgb(0, 102, 0)) << k;
  }
  EXPECT_EQ(At(bg, 1023, 5), gfx::Rgb(0, 102, 0));  // the twelfth strip runs on past the edge
}

TEST(SceneBackground, BlackAfterARestartThePreviousBackgroundAfterAResize) {
  DefaultRandom rng(5);
  SceneFixture f(1024, 768, &rng);
  f.settings.background_kind = 2;
  f.settings.restart_seconds = 60;
  f.scene().Start();
  f.settings.background_kind = 1;
  f.view().Resize(1000, 700);  // a plain resize: the stored picture is the gradient
  EXPECT_EQ(At(f.scene().background, 0, 0), gfx::Rgb(255, 0, 0));
  f.platform().clock.tick = 5000000;
  f.view().Tick();
  f.platform().clock.tick += 60001;
  f.view().Tick();  // a restart drops the stored picture
  EXPECT_EQ(At(f.scene().background, 0, 0), gfx::kBlack);
  EXPECT_EQ(At(f.scene().background, 500, 10), gfx::kBlack);
}

TEST(SceneBackground, TheDesktopIsCapturedOnceAndReused) {
  DefaultRandom rng(5);
  SceneFixture f(640, 480, &rng);
  f.settings.background_kind = 4;
  f.settings.restart_seconds = 60;
  f.scene().Start();
  EXPECT_TRUE(f.scene().desktop_captured);
  EXPECT_EQ(At(f.scene().background, 3, 3), At(f.view().desktop, 3, 3));
  // Paint the desktop over: a restart must show the first capture, not this.
  gfx::FillRect(f.view().desktop, f.view().desktop.bounds(), gfx::Rgb(1, 2, 3));
  f.platform().clock.tick = 5000000;
  f.view().Tick();
  f.platform().clock.tick += 60001;
  f.view().Tick();
  EXPECT_NE(At(f.scene().background, 3, 3), gfx::Rgb(1, 2, 3));
}

TEST(SceneBackground, AMissingPictureIsFileNotFoundWhereTheBackgroundIsPainted) {
  SceneFixture f(320, 240);
  f.settings.background_kind = 5;
  f.settings.picture_file = "/no/such/picture.jpg";
  f.scene().Start();
  EXPECT_GE(f.Protocols(), 1);
  EXPECT_NE(f.Log().find("Prozedur / procedure:\tHintergrund\r\n"), std::string::npos);
  EXPECT_NE(f.Log().find("53 (File not found)"), std::string::npos);
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

TEST(SceneRestart, TheTickCountWrapsWithoutFailureOrLostRestarts) {
  for (uint32_t start : {0x7FFF0000u, 0xFFFF0000u}) {
    DefaultRandom rng(3);
    SceneFixture f(320, 240, &rng);
    f.settings.restart_seconds = 60;
    f.platform().clock.tick = start;
    f.scene().Start();
    f.view().Tick();
    ASSERT_EQ(uint32_t(f.scene().last_restart), start);
    f.platform().clock.tick = start + 60001;  // across the wrap
    f.view().Tick();
    EXPECT_EQ(uint32_t(f.scene().last_restart), start + 60001) << std::hex << start;
    EXPECT_EQ(f.Protocols(), 0);
  }
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
