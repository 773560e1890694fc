// The POSIX services and parts the native front ends share: the locale
// formats, the system's description, the instance lock, the log folder and
// the FreeType font.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/gfx/surface.h"
#include "core/report/protocol.h"
#include "frontends/posix/ft_font.h"
#include "frontends/posix/posix_files.h"
#include "frontends/posix/posix_services.h"
#include "tests/support/headless_platform.h"
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
  if (newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", nullptr)) {
    LocaleRegional de("de_DE.UTF-8");
    EXPECT_EQ(de.DecimalSeparator(), ",");
    EXPECT_EQ(de.ShortDate(t), "06.12.2026");
  }
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

// XDG_STATE_HOME set for the life of one test.
class StateHome {
 public:
  explicit StateHome(const std::string& folder) {
    if (const char* old = std::getenv("XDG_STATE_HOME")) saved_ = old;
    setenv("XDG_STATE_HOME", folder.c_str(), 1);
  }
  ~StateHome() {
    if (saved_)
      setenv("XDG_STATE_HOME", saved_->c_str(), 1);
    else
      unsetenv("XDG_STATE_HOME");
  }

 private:
  std::optional<std::string> saved_;
};

TEST(Services, TheLogBesideTheProgramFallsBackToTheStateFolder) {
  const std::string dir = testing::MakeTempFolder("posix-log");
  const StateHome home(dir + "/state");
  PosixExecutable exe(dir + "/bin/sarvel");
  EXPECT_EQ(exe.Folder(), dir + "/bin");
  EXPECT_EQ(exe.FileTitle(), "sarvel");
  EXPECT_EQ(exe.FileVersion().revision, 457);
  const std::string folder = exe.FallbackLogFolder();
  EXPECT_EQ(folder, dir + "/state/sarvel");
  struct stat st {};
  EXPECT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));

  // A writable folder whose log place is taken, and a log on a full disk.
  ::mkdir((dir + "/bin").c_str(), 0755);
  ::mkdir((dir + "/bin/sarvel.EPT").c_str(), 0755);
  headless::Platform p;
  PosixFileSystem files;
  const ErrorRecord record{{"75 (Path/File access error)", "Saver", "LoadConfig", "20"},
                           "sarvel  V2.0.457"};
  EXPECT_NO_THROW(WriteProtocol(record, p.clock, p.system, exe, files));
  ::rmdir((dir + "/bin/sarvel.EPT").c_str());
  ASSERT_EQ(::symlink("/dev/full", (dir + "/bin/sarvel.EPT").c_str()), 0);
  EXPECT_NO_THROW(WriteProtocol(record, p.clock, p.system, exe, files));
  const std::string one = GetProtocol(record, p.clock, p.system) + "\r\n";
  EXPECT_EQ(testing::ReadWholeFile(folder + "/sarvel.EPT"), one + one);
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
