// The POSIX services and parts the native front ends share: the locale
// formats, the system's description, the instance lock, the settings file
// and the FreeType font.
#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <string>

#include "core/gfx/surface.h"
#include "frontends/posix/ft_font.h"
#include "frontends/posix/ini_store.h"
#include "frontends/posix/posix_services.h"
#include "tests/support/test_app.h"

namespace sarvel {
namespace {

TEST(Services, LocaleFormatsWithoutTouchingTheProcessLocale) {
  LocaleRegional c("C");
  const LocalTime t{2026, 12, 6, 22, 37, 14, 0};
  EXPECT_EQ(c.DecimalSeparator(), ".");
  EXPECT_EQ(c.ShortDate(t), "12/06/26");
  EXPECT_EQ(c.TimeOfDay(t), "22:37:14");
  // A locale that is not installed falls back to C instead of failing.
  LocaleRegional missing("xx_NOWHERE.UTF-8");
  EXPECT_EQ(missing.TimeOfDay(t), "22:37:14");
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

TEST(Services, TheSystemIsDescribedByUnamesRelease) {
  const SystemDescription v = LinuxDescription("6.1.0-18-amd64");
  EXPECT_EQ(v.platform, "Linux");
  EXPECT_EQ(v.major, 6u);
  EXPECT_EQ(v.minor, 1u);
  EXPECT_EQ(v.build, 0u);
  EXPECT_EQ(v.details, "6.1.0-18-amd64");
  const SystemDescription odd = LinuxDescription("5.15-custom");
  EXPECT_EQ(odd.major, 5u);
  EXPECT_EQ(odd.minor, 15u);
  EXPECT_EQ(LinuxDescription("unknown").major, 0u);
}

TEST(Services, InstanceLockSeesEveryOtherInstance) {
  const std::string dir = testing::MakeTempFolder("posix-lock");
  const std::string path = dir + "/a.lock";
  {
    InstanceLock first(path);
    EXPECT_FALSE(first.another_was_running());
    InstanceLock second(path);
    EXPECT_TRUE(second.another_was_running());
    InstanceLock elsewhere(dir + "/b.lock");
    EXPECT_FALSE(elsewhere.another_was_running());
    {
      // The first may go: the second still counts for a third.
      InstanceLock gone(path);
    }
  }
  InstanceLock later(path);
  EXPECT_FALSE(later.another_was_running());
  EXPECT_NE(InstanceLockPath("/usr/bin/sarvel"), InstanceLockPath("/tmp/x/sarvel"));
  testing::RemoveFolder(dir);
}

// A section after [Settings], written by hand or by a later version, keeps
// its own keys: a new key of [Settings] goes into [Settings].
TEST(Services, ANewSettingGoesIntoItsSectionBeforeALaterOne) {
  const std::string dir = testing::MakeTempFolder("posix-ini");
  std::ofstream(dir + "/settings.ini") << "[Settings]\nmaxL=4\n\n[Later]\nmaxL=9\n";
  IniFileStore store(dir + "/settings.ini");
  store.Write("Sarvel", "Settings", "SpeedL", "3");
  EXPECT_EQ(store.Read("Sarvel", "Settings", "SpeedL", "none"), "3");
  EXPECT_EQ(store.Read("Sarvel", "Later", "SpeedL", "none"), "none");
  EXPECT_EQ(store.Read("Sarvel", "Later", "maxL", ""), "9");
  testing::RemoveFolder(dir);
}

TEST(Font, SceneFontIsFoundAndDrawsInsideItsLine) {
  auto font = FtFont::SceneFont(96);
  ASSERT_TRUE(font) << "neither Comic Sans MS nor Comic Neue is installed";
  EXPECT_TRUE(font->family() == "Comic Sans MS" || font->family() == "Comic Neue")
      << font->family();
  // 9.75 pt at 96 dpi is a 13-pixel em; the line is a little taller.
  EXPECT_GE(font->TextHeight("1"), 13);
  EXPECT_LE(font->TextHeight("1"), 20);
  const std::string text = "12/06/2026   22:37:14";
  const int width = font->TextWidth(text);
  EXPECT_EQ(width, font->TextWidth("12/06/2026   ") + font->TextWidth("22:37:14"));
  gfx::Surface s(200, 40, gfx::kBlack);
  s.Clear();
  font->DrawGlyphs(s, 10, 10, text, gfx::kWhite);
  int inside = 0, outside = 0, partial = 0;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      const gfx::Argb c = s.at(x, y);
      if (c == gfx::kBlack) continue;
      const bool in = x >= 10 && x < 10 + width + 2 && y >= 10 && y < 10 + font->TextHeight(text);
      (in ? inside : outside)++;
      if (c != gfx::kWhite) ++partial;
    }
  }
  EXPECT_GT(inside, 100);
  EXPECT_EQ(outside, 0);
  EXPECT_GT(partial, 20) << "the text should be anti-aliased";
  // Twice the dots per inch, about twice the width.
  auto big = FtFont::SceneFont(192);
  ASSERT_TRUE(big);
  EXPECT_NEAR(big->TextWidth(text), 2 * width, width / 8);
  // A character the face lacks is drawn as '?'.
  EXPECT_EQ(font->TextWidth("\xE2\x98\x83"), font->TextWidth("?"));
  // Clipped at every edge without harm.
  font->DrawGlyphs(s, -5, -8, text, gfx::kWhite);
  font->DrawGlyphs(s, 190, 35, text, gfx::kWhite);
}

TEST(Font, UnknownFamiliesGiveNoFont) {
  EXPECT_EQ(FtFont::Match({"No Such Family Anywhere"}, 9.75, 96), nullptr);
}

}  // namespace
}  // namespace sarvel
