// The input watch through the real scene form on a headless screen: the
// movement filter's 3 pixels are logical ones at every device scale, and a
// display change gives the filter a fresh reference.
#include <gtest/gtest.h>

#include "app/scene/input_watch.h"
#include "tests/support/scene_run.h"

namespace sarvel {
namespace {

using headless::SceneRunner;

TEST(MovementFilter, SmallMovesPassThreePixelsEnd) {
  MovementFilter m;
  EXPECT_TRUE(m.Accept(500.0f, 400.0f, 1.0));   // the first event only records
  EXPECT_TRUE(m.Accept(502.0f, 398.0f, 1.0));   // 2 in both directions
  EXPECT_FALSE(m.Accept(505.0f, 398.0f, 1.0));  // 3 in x
  EXPECT_FALSE(m.Accept(502.0f, 395.0f, 1.0));  // 3 in y
  // A slow steady movement never ends the run: the reference follows it.
  for (int i = 1; i <= 200; ++i) ASSERT_TRUE(m.Accept(502.0f + 2.0f * i, 398.0f + 2.0f * i, 1.0));
  MovementFilter origin;
  EXPECT_TRUE(origin.Accept(0.0f, 0.0f, 1.0));
  EXPECT_TRUE(origin.Accept(900.0f, 900.0f, 1.0));  // (0, 0) reads as no reference
  // A pointer resting on the left edge is a reference like any other.
  MovementFilter edge;
  EXPECT_TRUE(edge.Accept(0.0f, 300.0f, 1.0));
  EXPECT_FALSE(edge.Accept(0.0f, 310.0f, 1.0));
  // A scale the host cannot mean counts as 1.
  MovementFilter odd;
  EXPECT_TRUE(odd.Accept(500.0f, 400.0f, 0.0));
  EXPECT_FALSE(odd.Accept(503.0f, 400.0f, 0.0));
}

headless::SceneRunOptions Screen(int w, int h, double scale) {
  headless::SceneRunOptions o;
  o.width = w;
  o.height = h;
  o.scale = scale;
  return o;
}

struct Move {
  float device_pixels;
  bool keeps_running;
};

// From a resting pointer, one move along x or along y at a device scale:
// the run goes on exactly when the move is under 3 logical pixels.
void ExpectMoves(double scale, std::initializer_list<Move> moves) {
  headless::EmptyResources nothing_to_draw;
  for (const Move& m : moves) {
    for (const bool along_x : {true, false}) {
      headless::SceneRunOptions o = Screen(960, 720, scale);
      o.resources = &nothing_to_draw;
      SceneRunner run(o);
      ASSERT_TRUE(run.Start());
      ASSERT_TRUE(run.MovePointer(401.0f, 301.0f)) << "the first position is only recorded";
      const float x = along_x ? 401.0f + m.device_pixels : 401.0f;
      const float y = along_x ? 301.0f : 301.0f - m.device_pixels;
      EXPECT_EQ(run.MovePointer(x, y), m.keeps_running)
          << m.device_pixels << " device pixels " << (along_x ? "along x" : "along y")
          << " at scale " << scale;
    }
  }
}

TEST(InputWatch, ThreeLogicalPixelsEndTheRunAtEveryScale) {
  ExpectMoves(1.0, {{2.0f, true}, {3.0f, false}});
  ExpectMoves(1.25, {{3.0f, true}, {3.5f, true}, {3.75f, false}, {4.0f, false}});
  ExpectMoves(1.5, {{3.0f, true}, {4.0f, true}, {4.5f, false}, {5.0f, false}});
  // 1.5 and 2.5 logical pixels are jitter; 3 are a movement.
  ExpectMoves(2.0, {{3.0f, true}, {4.0f, true}, {5.0f, true}, {6.0f, false}, {10.0f, false}});
}

TEST(InputWatch, JitterAtScaleTwoFollowsThePointer) {
  SceneRunner run(Screen(960, 720, 2.0));
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.MovePointer(100.0f, 100.0f));
  // Each step is 2.5 logical pixels from the one before: a slow drift.
  for (int i = 1; i <= 40; ++i)
    ASSERT_TRUE(run.MovePointer(100.0f + 5.0f * i, 100.0f + 5.0f * i)) << i;
  EXPECT_FALSE(run.MovePointer(300.0f + 6.0f, 300.0f));
}

// A display change moves windows under the pointer or the pointer off a
// monitor that went: the next position is a new reference, not a movement.
TEST(InputWatch, AfterADisplayChangeTheNextPositionIsOnlyRecorded) {
  for (const double scale : {1.0, 2.0}) {
    SceneRunner moved(Screen(800, 600, scale));
    ASSERT_TRUE(moved.Start());
    ASSERT_TRUE(moved.MovePointer(300.0f, 200.0f));
    EXPECT_FALSE(moved.MovePointer(700.0f, 500.0f))
        << "without a change this far a move ends the run";

    SceneRunner changed(Screen(800, 600, scale));
    ASSERT_TRUE(changed.Start());
    ASSERT_TRUE(changed.MovePointer(300.0f, 200.0f));
    ASSERT_TRUE(changed.MovePointer(301.0f, 200.0f));
    ASSERT_TRUE(changed.ChangeScreen(1024, 768)) << "a display change is no input";
    EXPECT_EQ(changed.view()->ClientWidth(), 1024);
    EXPECT_TRUE(changed.MovePointer(700.0f, 500.0f)) << "scale " << scale;
    // From there the filter watches as before.
    EXPECT_TRUE(changed.MovePointer(701.0f, 501.0f));
    EXPECT_FALSE(changed.MovePointer(701.0f + 3.0f * float(scale), 501.0f));
  }
}

}  // namespace
}  // namespace sarvel
