// What the user's choices put on screen: the overlay's date and time, each
// on its own, and every kind the random background can draw.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "app/maker.h"
#include "core/gfx/painter.h"
#include "resources/embedded_resources.h"
#include "tests/app/scene/scene_fixture.h"
#include "tests/support/bitmap_bytes.h"

namespace sarvel {
namespace {

using testing::SceneFixture;

// One line the scene printed.
struct Printed {
  int x = 0;
  int y = 0;
  std::string text;
  bool operator==(const Printed&) const = default;
};

void PrintTo(const Printed& p, std::ostream* os) {
  *os << "\"" << p.text << "\" at (" << p.x << ", " << p.y << ")";
}

// The scene font, remembering every line it draws and where.
class RecordingFont : public gfx::Font {
 public:
  int TextWidth(std::string_view utf8) const override { return font_.TextWidth(utf8); }
  int TextHeight(std::string_view utf8) const override { return font_.TextHeight(utf8); }
  void DrawGlyphs(gfx::Surface& dst, int x, int y, std::string_view utf8,
                  gfx::Argb color) const override {
    printed.push_back(Printed{x, y, std::string(utf8)});
    font_.DrawGlyphs(dst, x, y, utf8, color);
  }
  gfx::Rect InkBounds(int x, int y, std::string_view utf8) const override {
    return font_.InkBounds(x, y, utf8);
  }

  mutable std::vector<Printed> printed;

 private:
  const gfx::Font& font_ = EmbeddedSceneFont(1.0);
};

TEST(SceneOverlay, DateAndTimeShowExactlyAsTicked) {
  for (const int16_t show_date : {0, 1}) {
    for (const int16_t show_time : {0, 1}) {
      SceneFixture f(640, 480);
      RecordingFont font;
      f.view().UseFont(font);
      f.settings.show_date = show_date;
      f.settings.show_time = show_time;
      f.platform().regional.day_first = true;
      f.platform().clock.now = LocalTime{2027, 3, 9, 7, 5, 2, 0};
      f.scene().Start();
      font.printed.clear();
      f.view().Tick();

      // Date, three spaces and time on the bottom line from x = 5; the web
      // address at its label in the bottom-right corner.
      const int line = 480 - font.TextHeight("1") - 3;
      std::vector<Printed> want;
      if (show_date) want.push_back({5, line, "09.03.2027   "});
      if (show_time)
        want.push_back({show_date ? 5 + font.TextWidth("09.03.2027   ") : 5, line, "07:05:02"});
      want.push_back(
          {f.scene().address_label.left, f.scene().address_label.top - 1, kMakerAddress});
      EXPECT_EQ(font.printed, want) << "date " << show_date << ", time " << show_time;
    }
  }
}

// What a layout painted into the background, told by two points of its top
// row (the carpet lies far below): 1 to 5, or 0 for nothing known.
int PaintedKind(SceneFixture& f) {
  const gfx::Surface& bg = f.scene().background;
  const gfx::Surface& desktop = f.view().desktop;
  const int right = bg.width() - 10;
  const gfx::Argb left_px = bg.at(40, 5), right_px = bg.at(right, 5);
  if (left_px == gfx::kBlack && right_px == gfx::kBlack) return 1;
  if (left_px == gfx::Rgb(0, 102, 0)) return 2;  // the middle of a test gradient's strip
  if (left_px == gfx::Rgb(0, 103, 0)) return 3;
  if (left_px == desktop.at(40, 5) && right_px == desktop.at(right, 5)) return 4;
  if (left_px == gfx::Rgb(255, 0, 0) && right_px == gfx::Rgb(0, 0, 255)) return 5;  // the picture
  return 0;
}

// The desktop kind shows what the capture saw, of any colour; a capture that
// saw nothing at all (the display unreadable, or all black) gives the blue
// sky instead, at the first layout and after a restart.
TEST(DesktopBackground, ACaptureThatSawNothingGivesTheBlueSky) {
  constexpr int kW = 320, kH = 240;
  const gfx::Argb lit = gfx::Rgb(0, 192, 0);
  gfx::Surface one_lit_pixel(kW, kH, gfx::kBlack);
  gfx::FillRect(one_lit_pixel, gfx::Rect{100, 2, 1, 1}, lit);
  struct Case {
    const char* desktop;
    gfx::Surface picture;
    int painted;  // as PaintedKind tells it
  };
  const Case cases[] = {
      {"a desktop", headless::SyntheticDesktop(kW, kH), 4},
      {"one colour", gfx::Surface(kW, kH, lit), 4},
      {"black but one pixel", one_lit_pixel, 1},
      {"all black", gfx::Surface(kW, kH, gfx::kBlack), 2},
      {"unreadable", gfx::Surface(), 2},
  };
  for (const Case& c : cases) {
    SceneFixture f(kW, kH);
    f.view().desktop = c.picture;
    f.settings.background_kind = kBackgroundDesktop;
    f.settings.restart_seconds = 1;
    f.platform().clock.tick = 5000000;
    f.scene().Start();
    EXPECT_EQ(PaintedKind(f), c.painted) << c.desktop;
    f.view().Tick();
    f.platform().clock.tick += 1001;
    f.view().Tick();
    EXPECT_EQ(PaintedKind(f), c.painted) << c.desktop << ", after a restart";
    if (c.painted == 1) {
      EXPECT_EQ(f.scene().background.at(100, 2), lit) << c.desktop;
    }
    EXPECT_EQ(f.Protocols(), 0) << c.desktop;
  }
}

// A real generator: 500 restarts, one a frame, show all five kinds, each
// often, each painted as itself (the desktop from the capture of the first
// layout, the picture from a file whose UTF-8 name the scene reads on every
// platform).
TEST(RandomBackground, FiveHundredRestartsShowAllFiveKinds) {
  const std::string folder = testing::MakeTempFolder("random bg");
  const std::string picture = folder + "/Herbst ä.bmp";
  std::ofstream(std::filesystem::path(std::u8string(picture.begin(), picture.end())),
                std::ios::binary)
      << test::BitmapBytes(64, 48);
  DefaultRandom rng(20261206);
  SceneFixture f(320, 240, &rng);
  f.settings.background_kind = kBackgroundRandom;
  f.settings.random_background = true;
  f.settings.picture_file = picture;
  f.settings.restart_seconds = 1;
  f.platform().clock.tick = 5000000;
  f.scene().Start();
  f.view().Tick();  // the first restart test only starts the count
  std::map<int, int> kinds;
  for (int i = 0; i < 500; ++i) {
    f.platform().clock.tick += 1001;
    f.view().Tick();
    const int kind = f.settings.background_kind;
    ASSERT_EQ(PaintedKind(f), kind) << "restart " << i;
    ++kinds[kind];
  }
  EXPECT_EQ(f.Protocols(), 0);
  ASSERT_EQ(kinds.size(), 5u);
  for (const auto& [kind, count] : kinds) EXPECT_GE(count, 50) << kind;
  testing::RemoveFolder(folder);
}

}  // namespace
}  // namespace sarvel
