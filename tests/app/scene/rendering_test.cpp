// The fast renderer against the simple one: damage tracking with cached
// sprites must put exactly the pixels of the full-copy design into the window
// image, frame after frame, through restarts, resizes, settling, maturing,
// the overlay's clock, every background, and spells of nobody looking; and it
// must say truthfully which parts of the window changed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "app/resource_ids.h"
#include "app/scene/frame_composer.h"
#include "app/scene/sprite_cache.h"
#include "core/gfx/painter.h"
#include "core/gfx/png_writer.h"
#include "resources/embedded_resources.h"
#include "tests/core/gfx/gfx_test_util.h"
#include "tests/support/scene_run.h"
#include "tests/support/test_app.h"

namespace sarvel {
namespace {

using gfx::Rect;
using gfx::Surface;

constexpr Rendering kFullCopy{.track_damage = false, .cache_sprites = false};

bool SamePixels(const Surface& a, const Surface& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y) {
    if (!std::equal(a.row(y), a.row(y) + a.width(), b.row(y))) return false;
  }
  return true;
}

// Every pixel that differs between two window images lies in `rects`.
::testing::AssertionResult ChangesCovered(const Surface& before, const Surface& after,
                                          const std::vector<Rect>& rects) {
  Surface marked(after.width(), after.height(), gfx::kBlack);
  for (const Rect& r : rects) gfx::FillRect(marked, r, gfx::kWhite);
  for (int y = 0; y < after.height(); ++y) {
    for (int x = 0; x < after.width(); ++x) {
      if (before.at(x, y) != after.at(x, y) && marked.at(x, y) != gfx::kWhite) {
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " changed unreported";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

std::string SunsetPicture() {
  Surface s(240, 160, gfx::kBlack);
  for (int y = 0; y < 160; ++y)
    for (int x = 0; x < 240; ++x)
      s.row(y)[x] = gfx::Rgb(uint8_t(220 - y), uint8_t(50 + y / 2), uint8_t(x));
  const std::string path = testing::MakeTempFolder("rendering") + "/sunset.png";
  gfx::WritePng(path, s);
  return path;
}

int FramesPerScene() {
#if defined(__SANITIZE_ADDRESS__)
  return 220;
#else
  return 900;
#endif
}

struct Tally {
  int compared = 0, hidden = 0, resizes = 0, rescales = 0, restarts = 0, partial = 0;
  void Print() const {
    std::printf(
        "%d frames compared, %d partial refreshes checked, %d hidden, %d resizes, %d "
        "rescales, %d restarts\n",
        compared, partial, hidden, resizes, rescales, restarts);
  }
};

// The device size of a logical one at a scale.
int Device(int logical, double scale) { return int(std::lround(logical * scale)); }

// One scene run both ways side by side, at `scale` (device pixels per
// logical pixel), its frames compared: through resizes, restarts, spells of
// nobody looking and, with `rescale`, moves to monitors of other scales.
void CompareScene(int scene, double scale, bool large, bool rescale, int frames,
                  const std::string& picture, std::mt19937& pick, Tally& t) {
  auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(pick); };
  // Mostly small windows, where everything overlaps; large ones, where
  // mushrooms mostly stand alone and are left out of frames.
  const int w = large ? between(900, 1280) : between(120, 480);
  const int h = large ? between(600, 800) : between(90, 360);
  std::string background = std::to_string(scene % 7 == 6 ? 6 : scene % 6 + 1);  // 6 is random
  if (background == "6" && scene % 2) background = "4";
  headless::SceneRunOptions o{.seed = uint32_t(100 + scene),
                              .width = Device(w, scale),
                              .height = Device(h, scale),
                              .scale = scale,
                              .advance_clock = true};
  o.Set<&SaverSettings::max_leaf>(std::to_string(between(2, 10)));
  o.Set<&SaverSettings::leaf_speed>(std::to_string(between(3, 20)));
  o.Set<&SaverSettings::background_kind>(background);
  o.Set<&SaverSettings::picture_file>(picture);
  o.Set<&SaverSettings::show_date>(std::to_string(between(0, 1)));
  o.Set<&SaverSettings::show_time>(std::to_string(between(0, 1)));
  o.Set<&SaverSettings::auto_restart>("1");
  o.Set<&SaverSettings::restart_seconds>(std::to_string(between(1, 3)));
  o.rendering = kFullCopy;
  headless::SceneRunner reference(o);
  o.rendering = Rendering{};
  headless::SceneRunner fast(o);
  ASSERT_TRUE(reference.Start());
  ASSERT_TRUE(fast.Start());
  ASSERT_TRUE(SamePixels(reference.WindowImage(), fast.WindowImage()));

  Surface before = fast.WindowImage();
  int hide_for = 0;
  for (int frame = 0; frame < frames; ++frame) {
    if (between(0, 250) == 0) {
      const int new_w = between(100, 480), new_h = between(80, 360);
      ASSERT_TRUE(reference.ResizeWindow(Device(new_w, scale), Device(new_h, scale)));
      ASSERT_TRUE(fast.ResizeWindow(Device(new_w, scale), Device(new_h, scale)));
      ++t.resizes;
    }
    if (rescale && frame % 40 == 20) {
      static constexpr double kScales[] = {1.0, 1.25, 1.5, 1.75, 2.0};
      scale = kScales[between(0, 4)];
      const int new_w = between(100, 400), new_h = between(80, 300);
      ASSERT_TRUE(reference.RescaleWindow(scale, Device(new_w, scale), Device(new_h, scale)));
      ASSERT_TRUE(fast.RescaleWindow(scale, Device(new_w, scale), Device(new_h, scale)));
      ++t.rescales;
    }
    if (hide_for == 0 && between(0, 120) == 0) hide_for = between(1, 60);
    fast.view()->set_seen(hide_for == 0);
    const int partial_before = fast.view()->partial_refreshes();
    const int32_t last_restart = fast.scene().last_restart;
    ASSERT_TRUE(reference.Frame());
    ASSERT_TRUE(fast.Frame());
    t.restarts += fast.scene().last_restart != last_restart;
    if (hide_for > 0) {
      --hide_for;
      ++t.hidden;
      ASSERT_EQ(fast.view()->partial_refreshes(), partial_before)
          << "presented while nobody looked";
      continue;
    }
    ASSERT_TRUE(SamePixels(reference.WindowImage(), fast.WindowImage()))
        << "scene " << scene << " frame " << frame << ", " << fast.WindowImage().width() << "x"
        << fast.WindowImage().height() << " at scale " << scale << ", background " << background;
    ++t.compared;
    const Surface& now = fast.WindowImage();
    if (fast.view()->partial_refreshes() != partial_before && !fast.view()->last_refresh_whole()) {
      ++t.partial;
      ASSERT_TRUE(ChangesCovered(before, now, fast.view()->last_refresh_rects()))
          << "frame " << frame;
    }
    before = now;
  }
  EXPECT_EQ(reference.platform().process.beeps, 0);
  EXPECT_EQ(fast.platform().process.beeps, 0);
}

TEST(Rendering, DamageTrackingGivesTheFullCopyPixelsInEveryFrame) {
  const std::string picture = SunsetPicture();
  std::mt19937 pick(2026);
  Tally t;
  for (int scene = 0; scene < 14; ++scene) {
    ASSERT_NO_FATAL_FAILURE(
        CompareScene(scene, 1.0, scene >= 12, false, FramesPerScene(), picture, pick, t));
  }
  t.Print();
  EXPECT_GT(t.compared, 2000);
  EXPECT_GT(t.partial, t.compared / 2);
  EXPECT_GT(t.restarts, 20);
  EXPECT_GT(t.resizes, 5);
  testing::RemoveFolder(picture.substr(0, picture.rfind('/')));
}

// The same at device scales 1.5 and 2 (the sprites scaled from the 64- and
// 128-pixel art, the text from the larger atlases), and with moves between
// monitors of scales 1 to 2.
TEST(Rendering, DamageTrackingGivesTheFullCopyPixelsAtEveryDeviceScale) {
  const std::string picture = SunsetPicture();
  std::mt19937 pick(2027);
  Tally t;
  for (int scene = 0; scene < 10; ++scene) {
    const double scale = scene < 4 ? 1.5 : scene < 8 ? 2.0 : 1.25;
    ASSERT_NO_FATAL_FAILURE(CompareScene(scene, scale, scene == 3 || scene == 7, scene >= 8,
                                         FramesPerScene() / 2, picture, pick, t));
  }
  t.Print();
  EXPECT_GT(t.compared, 700);
  EXPECT_GT(t.partial, t.compared / 2);
  EXPECT_GT(t.restarts, 10);
  EXPECT_GT(t.rescales, 0);
  testing::RemoveFolder(picture.substr(0, picture.rfind('/')));
}

TEST(Rendering, FramesRepaintSmallPartsLayoutsAndReturnsTheWhole) {
  headless::SceneRunner run(headless::SceneRunOptions{.seed = 4, .width = 1920, .height = 1080});
  ASSERT_TRUE(run.Start());
  headless::SceneViewHeadless& view = *run.view();
  ASSERT_TRUE(run.Frame());  // the first frame after a layout is whole
  EXPECT_TRUE(view.last_refresh_whole());
  double area = 0;
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(run.Frame());
    ASSERT_FALSE(view.last_refresh_whole());
    for (const Rect& r : view.last_refresh_rects()) {
      ASSERT_EQ(r, r.Intersected(run.WindowImage().bounds()));
      area += double(r.w) * double(r.h);
    }
  }
  // What the sprites cover, old places and new: about 270 000 pixels on any screen.
  EXPECT_LT(area / 200, 0.2 * 1920 * 1080);

  view.set_seen(false);
  const int whole = view.refreshes(), parts = view.partial_refreshes();
  const Surface shown = run.WindowImage();
  ASSERT_TRUE(run.RunFrames(50));
  EXPECT_EQ(view.refreshes(), whole);
  EXPECT_EQ(view.partial_refreshes(), parts);
  EXPECT_TRUE(SamePixels(shown, run.WindowImage())) << "the window image rests too";
  view.set_seen(true);
  ASSERT_TRUE(run.Frame());
  EXPECT_EQ(view.refreshes(), whole + 1);
  ASSERT_TRUE(run.Frame());
  EXPECT_FALSE(view.last_refresh_whole());

  ASSERT_TRUE(run.ResizeWindow(1024, 768));
  ASSERT_TRUE(run.Frame());
  EXPECT_TRUE(view.last_refresh_whole());
}

// The shipped icons at sizes the scene keeps, at device scales 1, 1.5 and 2:
// the cache keeps each at its device size, scaled once from the entry
// closest above (the 32-pixel one at scale 1); it draws what DrawIconAt
// draws with that entry, clipped or not, and names every pixel it changed.
TEST(Rendering, CachedSpritesOfTheShippedIconsMatchDrawIconAtEveryScale) {
  EmbeddedResources icons;
  const std::vector<std::pair<int, int>> mushroom_sizes{{7, 7}, {16, 16}, {32, 32}, {49, 49}};
  const std::vector<std::pair<int, int>> leaf_sizes{{24, 24}, {34, 34}, {32, 26}};
  SpriteCache cache(icons, {{IDI_MUSHROOM_FIRST, IDI_MUSHROOM_LAST, mushroom_sizes},
                            {IDI_LEAF_FIRST, IDI_LEAF_LAST, leaf_sizes}});
  for (const double scale : {1.5, 2.0, 1.0}) {
    cache.SetScale(scale);
    EXPECT_EQ(cache.built(), 0) << "a new scale starts afresh";
    for (int id = IDI_MUSHROOM_FIRST; id <= IDI_LEAF_LAST; ++id) {
      for (const auto& [lw, lh] : id >= IDI_LEAF_FIRST ? leaf_sizes : mushroom_sizes) {
        const int w = DeviceLength(lw, scale), h = DeviceLength(lh, scale);
        const gfx::ImageRef picture = cache.Picture(id, w, h);
        const int side = std::max(w, h);
        EXPECT_EQ(picture, scale == 1.0 ? icons.Icon(id) : icons.IconForSize(id, side));
        EXPECT_EQ(picture->width(), scale == 1.0 || side <= 32 ? 32 : side <= 64 ? 64 : 128);
        ASSERT_NE(cache.Sprite(id, w, h), nullptr) << "kept at its device size";
        for (const int64_t spot : {int64_t(11), int64_t(-13), int64_t(75)}) {
          Surface direct = gfx::testing::NoiseSurface(160, 130, uint32_t(id + w));
          Surface cached = direct;
          const Surface before = direct;
          gfx::DrawIconAt(direct, *picture, spot, spot / 2, w, h, direct.bounds());
          const Rect changed = cache.Draw(cached, id, spot, spot / 2, w, h);
          ASSERT_TRUE(SamePixels(direct, cached)) << "icon " << id << " at " << w << "x" << h;
          ASSERT_TRUE(ChangesCovered(before, cached, {changed})) << "icon " << id;
        }
      }
    }
    EXPECT_EQ(cache.built(), 40 * 4 + 50 * 3) << "each kept size scaled once";
  }
}

// Half-transparent squares, a colour for each id.
class Squares : public ResourceLibrary {
 public:
  gfx::ImageRef Icon(int id) override {
    auto img = std::make_shared<gfx::Image>(32, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        img->set(x, y, gfx::Premultiply(160, uint8_t(90 * id), uint8_t(250 - 70 * id), 40));
    img->UpdateOpaque();
    return img;
  }
  gfx::ImageRef IconForSize(int id, int) override { return Icon(id); }
  gfx::ImageRef Bitmap(int) override { return std::make_shared<gfx::Image>(0, 0); }
};

TEST(Rendering, UnchangedDrawsAreLeftOutButNotWhenTheirOrderChanges) {
  Squares squares;
  SpriteCache sprites(squares, {{1, 3, {{20, 20}}}});
  headless::SceneViewHeadless view(64, 48, 1);
  view.Resize(64, 48);
  Surface bg = gfx::testing::NoiseSurface(64, 48, 3), buffer(64, 48, gfx::kWhite);
  FrameComposer composer(16);
  const float left[] = {0, 10.0f, 20.0f, 40.0f};
  // One frame drawing the squares in this order, as the scene would.
  auto frame = [&](std::initializer_list<int> ids) {
    composer.Begin(bg, buffer, view.WindowImage(), true);
    for (int id : ids) {
      if (composer.queuing()) {
        composer.Queue(sprites, false, id, left[id], 10.0f, 20, 20);
      } else {
        composer.Drawn(sprites.Draw(buffer, id, left[id], 10.0f, 20, 20));
      }
    }
    composer.Compose();
    composer.Present(view);
    composer.End();
  };
  auto expect = [&](std::initializer_list<int> ids) {
    Surface want = bg;
    for (int id : ids) gfx::DrawIcon(want, *squares.Icon(id), left[id], 10.0f, 20, 20);
    return SamePixels(view.WindowImage(), want) && SamePixels(buffer, want);
  };
  frame({1, 2, 3});  // whole
  frame({1, 2, 3});
  EXPECT_TRUE(expect({1, 2, 3}));
  frame({1, 2, 3});
  EXPECT_TRUE(view.last_refresh_rects().empty()) << "nothing changed, nothing shown";
  frame({2, 1, 3});  // the overlapping pair swaps: drawn again, the lone one not
  EXPECT_TRUE(expect({2, 1, 3}));
  ASSERT_EQ(view.last_refresh_rects().size(), 2u);
  frame({2, 1});
  EXPECT_TRUE(expect({2, 1}));
  const std::vector<Rect> lone{Rect{40, 10, 20, 20}};  // the square that is gone
  EXPECT_EQ(view.last_refresh_rects(), lone);
  frame({3});
  frame({3});
  EXPECT_TRUE(view.last_refresh_rects().empty());
  frame({3, 3});  // the same draw twice where it was once
  EXPECT_TRUE(expect({3, 3}));
  frame({3, 3});
  EXPECT_TRUE(expect({3, 3}));
  frame({3});
  EXPECT_TRUE(expect({3}));
}

}  // namespace
}  // namespace sarvel
