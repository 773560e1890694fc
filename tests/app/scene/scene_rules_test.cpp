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
    ASSERT_GE(f.LeafCount, 140);
    ASSERT_LE(f.LeafCount, 200);
    counts.insert(f.LeafCount);
    EXPECT_GE(f.LeafCount / 3 + 1, 47);
    EXPECT_LE(f.LeafCount / 3 + 1, 67);
    for (int i = 0; i <= f.LeafCount; ++i) {
      const SpriteRecord& s = f.scene().LeafSprites[size_t(i)];
      ASSERT_TRUE(s.X >= -20.0f && s.X <= 640.0f && s.Y >= 0.0f && s.Y <= 408.0f);
      ASSERT_TRUE(s.Size >= 24.0f && s.Size <= 34.0f && s.IconId >= 141 && s.IconId <= 190);
    }
    for (int i = 0; i <= f.LeafCount / 3; ++i) {
      const SpriteRecord& m = f.scene().Mushrooms[size_t(i)];
      ASSERT_TRUE(m.Active && m.IconId >= 101 && m.IconId <= 140);
      ASSERT_TRUE(m.Size >= 16.0f && m.Size <= 40.0f);
      // Its top lies 20 to 60 pixels above the bottom edge, lifted by the wave.
      const float lift = 480.0f - m.Y - float(f.scene().GroundWave(int(m.X)));
      ASSERT_TRUE(lift >= 19.5f && lift <= 60.5f) << lift;
    }
    EXPECT_EQ(f.scene().Mushrooms[size_t(f.LeafCount / 3 + 1)].IconId, 0);
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
  const int wave = const_cast<Scene&>(s).GroundWave(502);
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
  EXPECT_EQ(At(s.picBG, 502 + 16, tops[5] - 1), gfx::kBlack);
  for (int y = tops[5]; y < 768; ++y) ASSERT_EQ(At(s.picBG, 502 + 16, y), leaf) << y;
  EXPECT_EQ(At(s.picBG, 501, tops[3]), gfx::kBlack);  // left of the column
  EXPECT_EQ(At(s.picBG, 534, tops[3]), gfx::kBlack);  // right of it
  EXPECT_EQ(s.GroundBase, 691);                       // 0.9 H
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
  f_.LeafCount = 1;
  s().LandingLine = 45;
  s().GroundBase = 600;
  for (SpriteRecord* sp : {&s().LeafSprites[0], &s().LeafSprites[1]}) {
    sp->X = 100.0f;
    sp->Y = 700.0f;
    sp->Size = 32.0f;
    sp->IconId = 150;
  }
  s().LeafSprites[1].X = 400.0f;
  s().LeafSprites[1].IconId = 151;
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
  EXPECT_EQ(At(s().picBG, 100, 722), TestResources::ColourOf(150));  // sank to 720, drawn 2 lower
  EXPECT_EQ(At(s().picBG, 100, 721), At(s().picBG, 99, 721));        // nothing above it
  EXPECT_EQ(At(s().picBG, 400, 702), TestResources::ColourOf(151));  // settled where it was
  const SpriteRecord& a = s().LeafSprites[0];
  EXPECT_EQ(a.IconId, 160);
  EXPECT_EQ(a.Size, 30.0f);
  EXPECT_EQ(a.X, 500.0f);
  EXPECT_EQ(a.Y, -8.0f);  // -10, then a fall of 0 + 2
  EXPECT_EQ(f_.Protocols(), 0);
}

TEST_F(SceneRules, ASinkingEntryBelowTheLimitFollowsTheReversedBoundsFormula) {
  f_.LeafCount = 0;
  s().LandingLine = 45;
  s().GroundBase = 600;
  SpriteRecord& sp = s().LeafSprites[0];
  sp = SpriteRecord{100.0f, 760.0f, 32.0f, 150, false, false};
  rng_ = ScriptedRandom();
  Script(rng_, {{30, 100, 30}});
  rng_.Push(0.5f);  // RandomInt(760, 748): span -11, 760 + floor(-5.5) = 754
  s().MoveLeaves();
  EXPECT_EQ(At(s().picBG, 100, 756), TestResources::ColourOf(150));
  EXPECT_NE(At(s().picBG, 100, 755), TestResources::ColourOf(150));
}

TEST_F(SceneRules, SpritesWrapAtBothEdges) {
  f_.LeafCount = 0;
  s().LandingLine = 30000;
  struct Case {
    float x;
    int drift;
    float expected;
  } cases[] = {{1020.0f, 2, 6.0f}, {1020.0f, 1, 1019.0f}, {5.0f, -3, 1019.0f}, {500.0f, 6, 560.0f}};
  for (const Case& c : cases) {
    SpriteRecord& sp = s().LeafSprites[0];
    sp = SpriteRecord{c.x, 10.0f, 30.0f, 150, false, false};
    rng_ = ScriptedRandom();
    Script(rng_, {{-3, 70, 0}, {-3, 6, c.drift}});
    s().MoveLeaves();
    EXPECT_EQ(sp.X, c.expected) << c.x << " " << c.drift;
  }
}

TEST_F(SceneRules, AMushroomMaturesWithOneLeafUnderItAndOneOver) {
  f_.LeafCount = 0;
  SpriteRecord& m = s().Mushrooms[0];
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
  EXPECT_TRUE(m.Matured);
  EXPECT_NEAR(m.Y, 497.8f, 1e-3);
  const gfx::Surface& bg = s().picBG;
  EXPECT_EQ(At(bg, 295, 530), TestResources::ColourOf(150));  // the leaf under, on its own
  EXPECT_EQ(At(bg, 305, 525), TestResources::ColourOf(120));  // the mushroom covers it
  EXPECT_EQ(At(bg, 315, 540), TestResources::ColourOf(160));  // the leaf over covers both
  EXPECT_EQ(At(bg, 343, 541), TestResources::ColourOf(120));  // 44 x 44, from (300, 498)
  EXPECT_NE(At(bg, 344, 510), TestResources::ColourOf(120));
  EXPECT_EQ(At(s().FrameSurface(), 320, 520), TestResources::ColourOf(120));  // drawn growing too
}

TEST_F(SceneRules, TheGroundRisesAndJumpsBackFromBelowTenToAHundred) {
  f_.LeafCount = 0;
  SpriteRecord& m = s().Mushrooms[0];
  m = SpriteRecord{300.0f, 500.0f, 43.0f, 120, true, true};
  s().GroundBase = 10;
  s().LandingLine = 50;
  s().MatureCount = 5;
  s().GrowMushrooms();
  EXPECT_EQ(s().GroundBase, 100);
  EXPECT_EQ(s().LandingLine, 49);
  EXPECT_EQ(s().MatureCount, 6);
  EXPECT_FALSE(m.Active);
  EXPECT_FALSE(m.Matured);
  EXPECT_TRUE(m.Size >= 5.0f && m.Size <= 15.0f);
  // Reborn: not drawn in this frame nor the next; grows from the one after.
  s().GrowMushrooms();
  EXPECT_TRUE(m.Active);
  const float size = m.Size;
  s().GrowMushrooms();
  EXPECT_GT(m.Size, size);
}

TEST_F(SceneRules, EveryTwentiethMaturingDriftsTheWaveIncludingTheWrapTo0) {
  f_.LeafCount = 0;
  for (int before : {19, 3000, 7}) {
    SpriteRecord& m = s().Mushrooms[0];
    m = SpriteRecord{300.0f, 500.0f, 43.0f, 120, true, true};
    s().MatureCount = int16_t(before);
    s().GroundBase = 500;
    const int16_t amplitude = s().WaveAmplitude;
    const int16_t frequency = s().WaveFrequency;
    rng_ = ScriptedRandom();
    if (before != 7) Script(rng_, {{-3, 5, 5}, {-2, 1, -2}, {-2, 2, 2}});
    rng_.Push(0.5f);
    s().GrowMushrooms();
    if (before == 7) {
      EXPECT_EQ(s().WaveAmplitude, amplitude);
      EXPECT_EQ(s().GroundBase, 499);
      continue;
    }
    EXPECT_EQ(s().MatureCount, before == 19 ? 20 : 0);
    EXPECT_EQ(s().WaveDrift, 5);
    EXPECT_EQ(s().WaveAmplitude, amplitude + 5);
    EXPECT_EQ(s().WaveFrequency, frequency - 2);
    EXPECT_EQ(s().GroundBase, 499 + 25);
    EXPECT_EQ(s().LandingLine, s().GroundBase + s().WaveAmplitude);
  }
}

TEST(SceneWave, AResizeOnlyDriftsTheWaveARestartDrawsANewOne) {
  DefaultRandom rng(99);
  SceneFixture f(800, 600, &rng);
  f.settings.AutoRestart = 1;
  f.settings.RestartSeconds = 60;
  f.scene().Start();
  const int16_t amplitude = f.scene().WaveAmplitude;
  const int16_t frequency = f.scene().WaveFrequency;
  f.view().Resize(700, 500);
  EXPECT_EQ(f.scene().WaveAmplitude, amplitude + f.scene().WaveDrift);
  EXPECT_GE(f.scene().WaveFrequency, frequency - 2);
  EXPECT_LE(f.scene().WaveFrequency, frequency + 1);
  EXPECT_EQ(f.scene().GroundBase, 450);
  // A flat wave would make the ground a straight line; this one is a hill.
  int16_t highest = -999;
  for (int x = -100; x <= 800; ++x) highest = std::max(highest, f.scene().GroundWave(x));
  EXPECT_GT(highest, 10);

  const int16_t drift = f.scene().WaveDrift;
  f.platform().clock.tick = 100000;
  f.view().Tick();  // sets LastRestart
  f.platform().clock.tick = 100000 + 60001;
  f.view().Tick();  // restarts
  EXPECT_GE(f.scene().WaveAmplitude, 30 + drift);
  EXPECT_LE(f.scene().WaveAmplitude, 60 + drift);
  EXPECT_GE(f.scene().WaveFrequency, 2);
  EXPECT_LE(f.scene().WaveFrequency, 10);
}

TEST(SceneBackground, TwelveGradientStripsCoverAWindow1024Wide) {
  SceneFixture f(1024, 768);
  f.settings.BackgroundKind = 2;
  f.scene().Start();
  const gfx::Surface& bg = f.scene().picBG;
  EXPECT_EQ(f.scene().GradientPicture->width(), 50);
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
  f.settings.BackgroundKind = 2;
  f.settings.RestartSeconds = 60;
  f.scene().Start();
  f.settings.BackgroundKind = 1;
  f.view().Resize(1000, 700);  // a plain resize: the stored picture is the gradient
  EXPECT_EQ(At(f.scene().picBG, 0, 0), gfx::Rgb(255, 0, 0));
  f.platform().clock.tick = 5000000;
  f.view().Tick();
  f.platform().clock.tick += 60001;
  f.view().Tick();  // a restart drops the stored picture
  EXPECT_EQ(At(f.scene().picBG, 0, 0), gfx::kBlack);
  EXPECT_EQ(At(f.scene().picBG, 500, 10), gfx::kBlack);
}

TEST(SceneBackground, TheDesktopIsCapturedOnceAndReused) {
  DefaultRandom rng(5);
  SceneFixture f(640, 480, &rng);
  f.settings.BackgroundKind = 4;
  f.settings.RestartSeconds = 60;
  f.scene().Start();
  EXPECT_TRUE(f.scene().DesktopCaptured);
  EXPECT_EQ(At(f.scene().picBG, 3, 3), At(f.view().desktop, 3, 3));
  // Paint the desktop over: a restart must show the first capture, not this.
  gfx::FillRect(f.view().desktop, f.view().desktop.bounds(), gfx::Rgb(1, 2, 3));
  f.platform().clock.tick = 5000000;
  f.view().Tick();
  f.platform().clock.tick += 60001;
  f.view().Tick();
  EXPECT_NE(At(f.scene().picBG, 3, 3), gfx::Rgb(1, 2, 3));
}

TEST(SceneBackground, AMissingPictureIsFileNotFoundWhereTheBackgroundIsPainted) {
  SceneFixture f(320, 240);
  f.settings.BackgroundKind = 5;
  f.settings.PicFile = "/no/such/picture.jpg";
  f.scene().Start();
  EXPECT_GE(f.Protocols(), 1);
  EXPECT_NE(f.Log().find("Prozedur / procedure:\tHintergrund\r\n"), std::string::npos);
  EXPECT_NE(f.Log().find("53 (File not found)"), std::string::npos);
}

TEST(SceneRestart, LastRestartIsSetFirstThenAFullIntervalPasses) {
  DefaultRandom rng(11);
  SceneFixture f(320, 240, &rng);
  f.settings.RestartSeconds = 60;
  f.platform().clock.tick = 1000;  // a machine that just started
  f.scene().Start();
  auto laid_out_again = [&] { return f.scene().LeafSprites[0].IconId != 999; };
  auto tick_at = [&](uint32_t t) {
    f.scene().LeafSprites[0].IconId = 999;
    f.platform().clock.tick = t;
    f.view().Tick();
  };
  tick_at(59000);
  EXPECT_EQ(f.scene().LastRestart, 0);
  tick_at(60001);
  EXPECT_EQ(f.scene().LastRestart, 60001);  // set, but no restart
  EXPECT_FALSE(laid_out_again());
  tick_at(120001);
  EXPECT_FALSE(laid_out_again());  // not more than the interval yet
  tick_at(120002);
  EXPECT_TRUE(laid_out_again());
  EXPECT_EQ(f.scene().LastRestart, 120002);
  EXPECT_EQ(f.scene().MatureCount, 0);
  f.settings.AutoRestart = 0;
  tick_at(400000);
  EXPECT_FALSE(laid_out_again());
}

TEST(SceneRestart, TheTickCountWrapsWithoutFailureOrLostRestarts) {
  for (uint32_t start : {0x7FFF0000u, 0xFFFF0000u}) {
    DefaultRandom rng(3);
    SceneFixture f(320, 240, &rng);
    f.settings.RestartSeconds = 60;
    f.platform().clock.tick = start;
    f.scene().Start();
    f.view().Tick();
    ASSERT_EQ(uint32_t(f.scene().LastRestart), start);
    f.platform().clock.tick = start + 60001;  // across the wrap
    f.view().Tick();
    EXPECT_EQ(uint32_t(f.scene().LastRestart), start + 60001) << std::hex << start;
    EXPECT_EQ(f.Protocols(), 0);
  }
  DefaultRandom rng(3);
  SceneFixture f(320, 240, &rng);
  f.settings.RestartSeconds = 2147483647;  // x 1000 is no overflow
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
    f.settings.MaxLeaf = c.max_leaf;
    f.settings.MinLeaf = c.min_leaf;
    f.settings.LeafSpeed = c.speed;
    f.scene().Start();
    for (int i = 0; i < 300; ++i) f.view().Tick();
    EXPECT_LE(f.LeafCount, 500);
    EXPECT_GE(f.scene().timer_interval(), 1);
    EXPECT_EQ(f.Protocols(), 0) << c.max_leaf << " " << c.speed << "\n" << f.Log();
  }
  SceneFixture slow(400, 300);
  slow.settings.LeafSpeed = 0.0f;
  slow.scene().Start();
  EXPECT_EQ(slow.scene().timer_interval(), 1500);
  EXPECT_EQ(slow.scene().speed(), 0.1f);
}

}  // namespace
}  // namespace sarvel
