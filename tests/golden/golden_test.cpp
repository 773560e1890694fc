// Golden frames: the real scene run headless with fixed seeds, compared pixel
// for pixel with committed reference pictures. On a difference the test
// writes <name>.out.png and <name>.diff.png (differing pixels in red over the
// reference in grey) under the build folder's golden-out/.
// SARVEL_UPDATE_GOLDEN=1 rewrites the references instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/base/failure.h"
#include "core/gfx/painter.h"
#include "core/gfx/picture_codec.h"
#include "core/gfx/png_writer.h"
#include "tests/support/scene_run.h"
#include "tests/support/test_app.h"

namespace sarvel {
namespace {

struct Golden {
  const char* name;
  uint32_t seed;
  int width, height, frames;  // the window in device pixels
  const char* background;
  bool date_and_time = true;
  double scale = 1.0;  // device pixels per logical pixel
};

std::string SourceDir() {
  const char* d = std::getenv("SARVEL_SOURCE_DIR");
  return d ? d : ".";
}
std::string OutDir() {
  const char* d = std::getenv("SARVEL_BINARY_DIR");
  return std::string(d ? d : ".") + "/golden-out";
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A picture for the user's-picture background, made here so that it needs
// no file in the tree: a sunset of bands, 300 x 200, as PNG.
std::string MakeUserPicture() {
  gfx::Surface s(300, 200, gfx::kBlack);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x)
      s.row(y)[x] = gfx::Rgb(uint8_t(200 - y / 2), uint8_t(60 + y / 3), uint8_t(40 + x / 4));
  const std::string path = testing::MakeTempFolder("golden") + "/sunset.png";
  gfx::WritePng(path, s);
  return path;
}

void Compare(const Golden& g, const gfx::Surface& frame) {
  const std::string ref = SourceDir() + "/tests/golden/ref/" + g.name + ".png";
  if (std::getenv("SARVEL_UPDATE_GOLDEN")) {
    gfx::WritePng(ref, frame);
    GTEST_SKIP() << "wrote " << ref;
  }
  gfx::ImageRef expected;
  try {
    expected = gfx::DecodePicture(ReadBytes(ref));
  } catch (const RuntimeFailure&) {
    FAIL() << "no reference picture " << ref << " (SARVEL_UPDATE_GOLDEN=1 makes it)";
  }
  ASSERT_EQ(expected->width(), frame.width());
  ASSERT_EQ(expected->height(), frame.height());
  int differing = 0;
  gfx::Surface diff(frame.width(), frame.height(), gfx::kBlack);
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      const gfx::Argb want = expected->at(x, y) | 0xFF000000u;
      const gfx::Argb got = frame.at(x, y);
      const int grey = (gfx::RedOf(want) + gfx::GreenOf(want) + gfx::BlueOf(want)) / 6;
      diff.row(y)[x] =
          want == got ? gfx::Rgb(uint8_t(grey), uint8_t(grey), uint8_t(grey)) : gfx::Rgb(255, 0, 0);
      differing += want != got;
    }
  }
  if (differing) {
    std::filesystem::create_directories(OutDir());
    gfx::WritePng(OutDir() + "/" + g.name + ".out.png", frame);
    gfx::WritePng(OutDir() + "/" + g.name + ".diff.png", diff);
  }
  EXPECT_EQ(differing, 0) << g.name << ": see " << OutDir();
}

class GoldenFrames : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenFrames, MatchTheReference) {
  const Golden& g = GetParam();
  headless::SceneRunOptions o;
  o.seed = g.seed;
  o.width = g.width;
  o.height = g.height;
  o.scale = g.scale;
  o.Set<&SaverSettings::background_kind>(g.background);
  if (std::string(g.background) == "5") o.Set<&SaverSettings::picture_file>(MakeUserPicture());
  if (!g.date_and_time) {
    o.Set<&SaverSettings::show_date>("0");
    o.Set<&SaverSettings::show_time>("0");
  }
  headless::SceneRunner run(o);
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.RunFrames(g.frames));
  EXPECT_EQ(run.platform().process.beeps, 0);
  Compare(g, run.WindowImage());
}

TEST(GoldenFrames, TwoScenesWithOneSeedRenderTheSameFramesSideBySide) {
  headless::SceneRunOptions o;
  o.seed = 77;
  o.width = 300;
  o.height = 200;
  headless::SceneRunner a(o), b(o);
  ASSERT_TRUE(a.Start());
  ASSERT_TRUE(b.Start());
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(a.Frame());
    ASSERT_TRUE(b.Frame());
    const gfx::Surface &fa = a.WindowImage(), &fb = b.WindowImage();
    for (int y = 0; y < fa.height(); ++y)
      ASSERT_TRUE(std::equal(fa.row(y), fa.row(y) + fa.width(), fb.row(y))) << "frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, GoldenFrames,
    ::testing::Values(Golden{"seed1_640x480_blue", 1, 640, 480, 60, "2"},
                      Golden{"seed7_800x600_brown", 7, 800, 600, 150, "3"},
                      Golden{"seed42_320x240_black", 42, 320, 240, 30, "1", false},
                      Golden{"seed3_1024x768_desktop", 3, 1024, 768, 40, "4"},
                      Golden{"seed5_480x360_picture", 5, 480, 360, 90, "5"},
                      Golden{"seed11_400x300_random", 11, 400, 300, 1500, "6"},
                      // High-DPI screens: the scenes of 640 x 480 and 800 x 600 logical
                      // pixels at 1.5 and 2, and an odd size at 1.25 (799 x 481 logical).
                      Golden{"seed1_960x720_blue_scale1.5", 1, 960, 720, 60, "2", true, 1.5},
                      Golden{"seed7_1600x1200_brown_scale2", 7, 1600, 1200, 150, "3", true, 2.0},
                      Golden{"seed5_960x720_picture_scale2", 5, 960, 720, 90, "5", true, 2.0},
                      Golden{"seed3_999x601_desktop_scale1.25", 3, 999, 601, 40, "4", true, 1.25}),
    [](const ::testing::TestParamInfo<Golden>& param_info) {
      std::string name = param_info.param.name;
      for (char& c : name) c = c == '.' ? '_' : c;  // test names take no dots
      return name;
    });

}  // namespace
}  // namespace sarvel
