// The X11 front end's parts on their own: the command line and what it makes
// of the settings, the layered store under the real settings loader, the
// locale formats, the instance lock, the log folder, the pixel layouts, the
// FreeType font, and (with a display, which they fail without) the presenter,
// the desktop captures and the event loop.
#include <X11/Xatom.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "core/base/failure.h"
#include "core/gfx/surface.h"
#include "core/report/protocol.h"
#include "frontends/posix/posix_files.h"
#include "frontends/x11/command_line.h"
#include "frontends/x11/event_loop.h"
#include "frontends/x11/ft_font.h"
#include "frontends/x11/override_store.h"
#include "frontends/x11/presenter.h"
#include "frontends/x11/scene_window_x11.h"
#include "frontends/x11/x11_display.h"
#include "frontends/x11/x11_services.h"
#include "tests/frontends/x11/display_required.h"
#include "tests/support/headless_platform.h"
#include "tests/support/test_app.h"

namespace sarvel::x11 {
namespace {

std::optional<Invocation> Parse(std::vector<std::string> args, const char* env = nullptr) {
  std::string error;
  auto inv = ParseCommandLine(args, env, error);
  if (!inv) ADD_FAILURE() << "refused: " << error;
  return inv;
}

std::string Refusal(std::vector<std::string> args, const char* env = nullptr) {
  std::string error;
  EXPECT_FALSE(ParseCommandLine(args, env, error).has_value());
  return error;
}

// ---- Command line

TEST(CommandLine, WindowsSwitchesReachMainAsOneText) {
  EXPECT_EQ(Parse({})->switch_text, "");
  EXPECT_EQ(Parse({"/p", "1234"})->switch_text, "/p 1234");
  EXPECT_EQ(Parse({"/c:42"})->switch_text, "/c:42");
  // Options around a switch still count for the run.
  auto inv = Parse({"-count", "4", "/S"});
  EXPECT_EQ(inv->mode, Invocation::Mode::kSwitch);
  EXPECT_EQ(inv->switch_text, "/S");
  EXPECT_EQ(inv->overrides.Number("maxL"), 4);
}

TEST(CommandLine, WindowedModeTakesAnOptionalSize) {
  auto plain = Parse({"--window"});
  EXPECT_EQ(plain->mode, Invocation::Mode::kWindowed);
  EXPECT_EQ(plain->window_width, 1024);
  auto sized = Parse({"--window", "800x600", "-no-date"});
  EXPECT_EQ(sized->window_width, 800);
  EXPECT_EQ(sized->window_height, 600);
  EXPECT_EQ(sized->overrides.Number("Date"), 0);
  EXPECT_EQ(Parse({"-window=320x200"})->window_height, 200);
  EXPECT_NE(Refusal({"--window=big"}), "");
}

TEST(CommandLine, HackConventions) {
  EXPECT_EQ(Parse({"-window-id", "0x2a00007"})->window_id, Window(0x2a00007));
  EXPECT_EQ(Parse({"--window-id=12345"})->window_id, Window(12345));
  auto root = Parse({"-root"});
  EXPECT_EQ(root->mode, Invocation::Mode::kHosted);
  EXPECT_TRUE(root->root);
  // The daemon's variable chooses the window only when nothing else chose.
  auto env = Parse({"-speed", "3"}, "0x400001");
  EXPECT_EQ(env->mode, Invocation::Mode::kHosted);
  EXPECT_EQ(env->window_id, Window(0x400001));
  // Under a daemon -root means the daemon's window; -window-id still wins.
  EXPECT_EQ(Parse({"-root"}, "0x400001")->window_id, Window(0x400001));
  EXPECT_EQ(Parse({"-root", "-window-id", "7"}, "0x400001")->window_id, Window(7));
  EXPECT_EQ(Parse({"-root"})->window_id, Window(None));
  EXPECT_EQ(Parse({"/S"}, "0x400001")->mode, Invocation::Mode::kSwitch);
  EXPECT_EQ(Parse({"--window"}, "0x400001")->mode, Invocation::Mode::kWindowed);
  EXPECT_EQ(Parse({}, "")->mode, Invocation::Mode::kSwitch);
  EXPECT_NE(Refusal({}, "window"), "");
  EXPECT_NE(Refusal({"-window-id", "0xZZ"}), "");
  EXPECT_NE(Refusal({"-window-id"}), "");
  EXPECT_NE(Refusal({"-root", "--window"}), "");
  EXPECT_NE(Refusal({"-root", "/S"}), "");
}

TEST(CommandLine, SettingOptionsAreRangeChecked) {
  EXPECT_NE(Refusal({"-count", "0"}), "");
  EXPECT_NE(Refusal({"-count", "26"}), "");
  EXPECT_NE(Refusal({"-count", "5x"}), "");
  EXPECT_NE(Refusal({"-speed", "0"}), "");
  EXPECT_NE(Refusal({"-speed", "11"}), "");
  EXPECT_NE(Refusal({"-speed", "nan"}), "");
  EXPECT_NE(Refusal({"-restart", "-1"}), "");
  EXPECT_NE(Refusal({"-background", "green"}), "");
  EXPECT_NE(Refusal({"-frobnicate"}), "");
  EXPECT_FLOAT_EQ(*Parse({"-speed", "0,1"})->overrides.Number("SpeedL"), 0.1f);
  EXPECT_FLOAT_EQ(*Parse({"--speed=10"})->overrides.Number("SpeedL"), 10.0f);
  EXPECT_EQ(Parse({"-h"})->mode, Invocation::Mode::kHelp);
}

TEST(CommandLine, SettingOptionsNeverReachTheSettingsDialog) {
  const std::vector<std::vector<std::string>> options = {
      {"-count", "3"},   {"-speed", "2"},         {"-date"},           {"-no-time"},
      {"-restart", "0"}, {"-background", "blue"}, {"--picture=/a.jpg"}};
  for (const auto& option : options) {
    for (const std::vector<std::string>& dialog :
         {std::vector<std::string>{"/C"}, {"/c"}, {"/c:1234"}, {" /C", "5"}}) {
      std::vector<std::string> args = option;
      args.insert(args.end(), dialog.begin(), dialog.end());
      SCOPED_TRACE(args.front() + " " + dialog.front());
      EXPECT_NE(Refusal(args).find("/C"), std::string::npos);
      EXPECT_NE(Refusal(args, "0x400001").find("/C"), std::string::npos);
    }
  }
  // The dialog alone, and the options with the modes that run the scene.
  EXPECT_EQ(Parse({"/c"})->switch_text, "/c");
  EXPECT_EQ(Parse({"-scale", "2", "/C"})->switch_text, "/C");
  EXPECT_EQ(Parse({"-count", "3", "/p", "77"})->overrides.Number("maxL"), 3);
  EXPECT_EQ(Parse({"-count", "3", "/X"})->overrides.Number("maxL"), 3);
  EXPECT_NE(Refusal({"-root", "-count", "3", "/C"}), "");
}

TEST(CommandLine, ScaleIsOptionalAndRangeChecked) {
  EXPECT_EQ(Parse({"/S"})->scale, 0.0);
  EXPECT_DOUBLE_EQ(Parse({"-scale", "1,5", "/S"})->scale, 1.5);
  EXPECT_DOUBLE_EQ(Parse({"--scale=2"})->scale, 2.0);
  EXPECT_NE(Refusal({"-scale", "0.4"}), "");
  EXPECT_NE(Refusal({"-scale", "9"}), "");
  EXPECT_NE(Refusal({"-scale"}), "");
}

// Minutes with a fraction, so that a test need not wait minutes; a daemon's
// window in the environment does not turn the watcher into a hack.
TEST(CommandLine, IdleWatcherTakesMinutesAndStandsAlone) {
  EXPECT_EQ(Parse({"--idle", "10"})->idle_ms, 600000u);
  const auto inv = Parse({"--idle=0,05"}, "0x400001");
  EXPECT_EQ(inv->mode, Invocation::Mode::kIdle);
  EXPECT_EQ(inv->idle_ms, 3000u);
  EXPECT_EQ(Parse({"--idle", "1440"})->idle_ms, 86400000u);
  for (const char* nonsense : {"0", "-1", "1441", "ten", "nan", "inf", ""})
    EXPECT_NE(Refusal({"--idle", nonsense}).find("1440"), std::string::npos) << nonsense;
  EXPECT_NE(Refusal({"--idle"}), "");
  EXPECT_NE(Refusal({"--idle", "5", "/S"}), "");
  EXPECT_NE(Refusal({"--idle", "5", "-root"}), "");
  EXPECT_NE(Refusal({"--idle", "5", "-count", "3"}), "");
}

TEST(CommandLine, OverridesBecomeTheStoredTexts) {
  auto inv = Parse({"-count", "3", "-speed", "2.5", "-no-date", "-time", "-restart", "0",
                    "-background", "random", "-picture", "/pics/a b.jpg"});
  using Texts = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(inv->overrides.StoreTexts(","), (Texts{{"maxL", "3"},
                                                   {"SpeedL", "2,5"},
                                                   {"Date", "0"},
                                                   {"Time", "1"},
                                                   {"Restart", "0"},
                                                   {"Background", "6"},
                                                   {"PicFile", "/pics/a b.jpg"}}));
  EXPECT_EQ(Parse({"-restart", "15"})->overrides.StoreTexts("."),
            (Texts{{"Restart", "1"}, {"rTime", "900"}}));
  EXPECT_TRUE(Parse({"/S"})->overrides.StoreTexts(".").empty());
}

// ---- The layered store under the real settings loader

TEST(OverrideStore, LoadConfigSeesTheOverridesAndTheFileTheRest) {
  testing::TestApp t;
  headless::MemoryStore& file = t.platform.store;
  file.values = {{"maxL", "5"}, {"Background", "2"}, {"Date", "1"}, {"PicFile", "/old.jpg"}};
  t.platform.regional.decimal_separator = ",";
  std::string error;
  const std::vector<std::string> args = {"-speed", "2.5", "-background", "random", "-no-date"};
  auto inv = ParseCommandLine(args, nullptr, error);
  ASSERT_TRUE(inv);
  OverrideStore store(file, inv->overrides.StoreTexts(t.platform.regional.DecimalSeparator()));
  SaverSettings s;
  SettingsIo(store, t.platform.regional, t.app->reporter).LoadConfig(s);
  EXPECT_FLOAT_EQ(s.LeafSpeed, 2.5f);
  EXPECT_EQ(s.BackgroundKind, 6);
  EXPECT_TRUE(s.RandomBackground);
  EXPECT_EQ(s.ShowDate, 0);
  EXPECT_EQ(s.MaxLeaf, 5);
  EXPECT_EQ(s.MinLeaf, 4);
  EXPECT_EQ(s.PicFile, "/old.jpg");
  EXPECT_TRUE(file.writes.empty());
  EXPECT_EQ(t.platform.process.beeps, 0);  // nothing was reported
}

TEST(OverrideStore, WritesGoThroughAndReadBack) {
  headless::MemoryStore file;
  file.values["maxL"] = "5";
  OverrideStore store(file, {{"maxL", "9"}, {"Date", "0"}});
  EXPECT_EQ(store.Read("Sarvel", "Settings", "MAXL", "10"), "9");
  store.Write("Sarvel", "Settings", "maxL", "3");
  EXPECT_EQ(file.values["maxL"], "3");
  EXPECT_EQ(store.Read("Sarvel", "Settings", "maxL", "10"), "3");
  EXPECT_EQ(store.Read("Sarvel", "Settings", "Date", "1"), "0");
  EXPECT_EQ(store.Read("Sarvel", "Settings", "Time", "1"), "1");
  file.fail_writes_after = 0;
  EXPECT_THROW(store.Write("Sarvel", "Settings", "Date", "1"), RuntimeFailure);
  EXPECT_EQ(store.Read("Sarvel", "Settings", "Date", "1"), "0");  // a failed write changes nothing
}

// ---- Services

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

TEST(Services, VersionFromUnameRelease) {
  const OsVersion v = PosixVersion("6.1.0-18-amd64");
  EXPECT_EQ(v.platform_id, kPlatformPosix);
  EXPECT_EQ(v.major, 6u);
  EXPECT_EQ(v.minor, 1u);
  EXPECT_EQ(v.build, 0u);
  EXPECT_STREQ(v.csd.data(), "6.1.0-18-amd64");
  const OsVersion odd = PosixVersion("5.15-custom");
  EXPECT_EQ(odd.major, 5u);
  EXPECT_EQ(odd.minor, 15u);
  EXPECT_EQ(PosixVersion("unknown").major, 0u);
}

TEST(Services, InstanceLockSeesEveryOtherInstance) {
  const std::string dir = testing::MakeTempFolder("x11-lock");
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
  const std::string dir = testing::MakeTempFolder("x11-log");
  const StateHome home(dir + "/state");
  X11Executable exe(dir + "/bin/sarvel");
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

TEST(Services, XftDpiFromTheResourceText) {
  EXPECT_EQ(XftDpiOf("Xft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n"), 144.0);
  EXPECT_EQ(XftDpiOf("Xft.dpi :  120.5"), 120.5);
  EXPECT_EQ(XftDpiOf("Xft.dpiX:\t144\n"), 0.0);
  EXPECT_EQ(XftDpiOf("Xft.dpi:\tlots\n"), 0.0);
  EXPECT_EQ(XftDpiOf(nullptr), 0.0);
}

// ---- Pixels and text

TEST(Pixels, NativeLayoutOnlyForArgbInOurByteOrder) {
  EXPECT_TRUE(PixelFormat::Make(0xFF0000, 0xFF00, 0xFF, 24, 32, LSBFirst).native);
  EXPECT_FALSE(PixelFormat::Make(0xFF0000, 0xFF00, 0xFF, 24, 32, MSBFirst).native);
  EXPECT_FALSE(PixelFormat::Make(0xFF, 0xFF00, 0xFF0000, 24, 32, LSBFirst).native);
  const PixelFormat rgb565 = PixelFormat::Make(0xF800, 0x07E0, 0x001F, 16, 16, LSBFirst);
  EXPECT_FALSE(rgb565.native);
  EXPECT_EQ(rgb565.FromArgb(gfx::Rgb(255, 0, 0)), 0xF800u);
  EXPECT_EQ(rgb565.FromArgb(gfx::Rgb(0, 255, 0)), 0x07E0u);
  EXPECT_EQ(rgb565.FromArgb(gfx::kWhite), 0xFFFFu);
  EXPECT_EQ(rgb565.ToArgb(0xFFFF), gfx::kWhite);
  EXPECT_EQ(rgb565.ToArgb(0x001F), gfx::Rgb(0, 0, 255));
  // Middle greys survive the round trip within one 5-bit step.
  const gfx::Argb grey = rgb565.ToArgb(rgb565.FromArgb(gfx::Rgb(128, 128, 128)));
  EXPECT_NEAR(gfx::RedOf(grey), 128, 5);
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

// ---- With a display

class WithDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = testing::OpenTestDisplay();
    if (!display_) FAIL() << testing::DisplayMissing();
    ::Display* x = display_->xdisplay();
    XSetWindowAttributes a{};
    a.override_redirect = True;
    window_ = XCreateWindow(x, display_->root(), 0, 0, 64, 48, 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWOverrideRedirect, &a);
    XMapRaised(x, window_);
    XSync(x, False);
  }
  void TearDown() override {
    if (display_) XDestroyWindow(display_->xdisplay(), window_);
  }
  // The window's pixels as the server has them.
  gfx::Argb ServerPixel(int px, int py) {
    XImage* img = XGetImage(display_->xdisplay(), window_, px, py, 1, 1, AllPlanes, ZPixmap);
    const gfx::Argb c = display_->format().ToArgb(XGetPixel(img, 0, 0));
    XDestroyImage(img);
    return c;
  }
  static gfx::Surface Pattern(int w, int h, uint8_t seed) {
    gfx::Surface s(w, h, gfx::kBlack);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x)
        s.row(y)[x] = gfx::Rgb(uint8_t(x * 4 + seed), uint8_t(y * 5), uint8_t(seed));
    }
    return s;
  }
  std::unique_ptr<Display> display_;
  Window window_ = None;
};

// The given parts arrive; pixels between them may come along merged with
// them, from the same image, and nothing else changes.
TEST_F(WithDisplay, PresenterPutsWholeImagesAndTheGivenParts) {
  for (bool shm : {true, false}) {
    SCOPED_TRACE(shm ? "shared memory" : "plain");
    Presenter presenter(*display_, window_, shm);
    const gfx::Surface a = Pattern(64, 48, 10);
    presenter.PutAll(a);
    EXPECT_EQ(presenter.using_shm(), shm && !testing::ServerDeclaredWithoutShm());
    for (auto [px, py] : {std::pair{0, 0}, {63, 47}, {17, 29}})
      EXPECT_EQ(ServerPixel(px, py), a.at(px, py));
    const gfx::Surface b = Pattern(64, 48, 200);
    const gfx::Rect parts[] = {{4, 4, 8, 8},
                               {50, 40, 30, 30}};  // the second one runs over the edge
    presenter.Put(b, parts);
    XImage* shown = XGetImage(display_->xdisplay(), window_, 0, 0, 64, 48, AllPlanes, ZPixmap);
    for (int py = 0; py < 48; ++py) {
      for (int px = 0; px < 64; ++px) {
        const gfx::Argb c = display_->format().ToArgb(XGetPixel(shown, px, py));
        const bool in_part = (px >= 4 && px < 12 && py >= 4 && py < 12) || (px >= 50 && py >= 40);
        if (in_part)
          ASSERT_EQ(c, b.at(px, py)) << px << "," << py;
        else
          ASSERT_TRUE(c == a.at(px, py) || c == b.at(px, py)) << px << "," << py;
      }
    }
    XDestroyImage(shown);
    // A smaller image later (a resize) goes through too.
    const gfx::Surface c = Pattern(32, 16, 90);
    presenter.PutAll(c);
    EXPECT_EQ(ServerPixel(31, 15), c.at(31, 15));
  }
}

// A window image lent the shared segment is drawn into in place: what the
// server shows is what was drawn, through a change of size, and the image
// keeps its picture when the presenter goes.
TEST_F(WithDisplay, SharedImageIsPutWithoutCopiesAndSurvivesThePresenter) {
  gfx::Surface image = Pattern(64, 48, 33);
  {
    Presenter presenter(*display_, window_);
    presenter.Share(image);
    if (testing::ServerDeclaredWithoutShm())
      GTEST_SKIP() << "SARVEL_TEST_NO_SHM=1: no shared memory here";
    ASSERT_TRUE(presenter.using_shm())
        << "the server offers no shared memory (set SARVEL_TEST_NO_SHM=1 if so)";
    if (display_->format().native) {
      EXPECT_TRUE(presenter.shares());
    }
    EXPECT_EQ(image.at(17, 29), Pattern(64, 48, 33).at(17, 29));
    presenter.PutAll(image);
    EXPECT_EQ(ServerPixel(17, 29), image.at(17, 29));
    for (int y = 10; y < 20; ++y) {
      for (int x = 30; x < 40; ++x) image.row(y)[x] = gfx::Rgb(250, 10, 20);
    }
    const gfx::Rect part{30, 10, 10, 10};
    presenter.Put(image, std::span<const gfx::Rect>(&part, 1));
    EXPECT_EQ(ServerPixel(35, 15), gfx::Rgb(250, 10, 20));
    EXPECT_EQ(ServerPixel(5, 5), image.at(5, 5));
    image.Resize(40, 30);  // the window shrank
    presenter.Share(image);
    image.row(29)[39] = gfx::Rgb(1, 200, 3);
    presenter.PutAll(image);
    EXPECT_EQ(ServerPixel(39, 29), gfx::Rgb(1, 200, 3));
    EXPECT_EQ(ServerPixel(35, 15), gfx::Rgb(250, 10, 20));
  }
  EXPECT_FALSE(image.uses_lent_memory());
  EXPECT_EQ(image.at(35, 15), gfx::Rgb(250, 10, 20));
  EXPECT_EQ(image.at(39, 29), gfx::Rgb(1, 200, 3));
  image.row(0)[0] = gfx::kWhite;  // its own memory now: writable after the segment went
}

// Full-screen windows answer with the monitors and the scale; they cover the
// monitor they are given and read the desktop from its place on the screen.
TEST_F(WithDisplay, SceneWindowsCoverTheirMonitorAtTheirScale) {
  EventLoop loop(*display_);
  headless::HeadlessProcess process;
  SceneWindowOptions full;
  full.scale = 2;
  SceneWindowX11 window(*display_, loop, process, full);
  window.Create();
  const std::vector<gfx::Rect> monitors = window.Monitors();
  ASSERT_FALSE(monitors.empty());
  for (const gfx::Rect& m : monitors) {
    EXPECT_FALSE(m.empty());
    EXPECT_LE(m.right(), display_->ScreenWidth());
    EXPECT_LE(m.bottom(), display_->ScreenHeight());
  }
  EXPECT_DOUBLE_EQ(window.DeviceScale(), 2.0);
  // Twips per logical pixel: the gradient strips keep their 88 pixels.
  EXPECT_EQ(window.TwipsPerPixelX(), 15);

  // A monitor of 40 x 30 at (10, 12): our test window's pattern lies there.
  const gfx::Surface pattern = Pattern(64, 48, 77);
  Presenter(*display_, window_, false).PutAll(pattern);
  window.SetMonitor({10, 12, 40, 30});
  window.Maximize();
  EXPECT_EQ(window.ClientWidth(), 40);
  EXPECT_EQ(window.ClientHeight(), 30);
  gfx::Surface desktop(40, 30, gfx::kBlack);
  window.CaptureDesktop(desktop, 40, 30);
  EXPECT_EQ(desktop.at(0, 0), pattern.at(10, 12));
  EXPECT_EQ(desktop.at(39, 29), pattern.at(49, 41));

  auto sibling = window.CreateSibling();
  ASSERT_TRUE(sibling);
  EXPECT_DOUBLE_EQ(sibling->DeviceScale(), 2.0);
  window.Destroy();

  // The scene font follows the scale.
  SceneWindowOptions plain;
  plain.scale = 1;
  SceneWindowX11 small(*display_, loop, process, plain);
  const int h1 = small.SceneFont().TextHeight("1"), h2 = window.SceneFont().TextHeight("1");
  EXPECT_NEAR(h2, 2 * h1, 2);

  // Only the full-screen kind spans monitors.
  SceneWindowOptions windowed;
  windowed.kind = SceneWindowOptions::Kind::kWindowed;
  SceneWindowX11 other(*display_, loop, process, windowed);
  EXPECT_TRUE(other.Monitors().empty());
  EXPECT_EQ(other.CreateSibling(), nullptr);
}

// Under a screen-saver daemon the screen shows only the daemon's black
// window: the desktop comes from the picture of the whole screen that the
// daemon left on our window, else from the wallpaper the desktop published
// on the root, cut at the window's place. Without either (a picture that is
// gone, a property of another kind) the screen is read under the window,
// which lies over the test window's pattern and shows it.
TEST_F(WithDisplay, HostedWindowTakesTheDesktopAtItsPlace) {
  ::Display* x = display_->xdisplay();
  const gfx::Surface pattern = Pattern(64, 48, 5);
  Presenter(*display_, window_, false).PutAll(pattern);
  XSetWindowAttributes a{};
  a.override_redirect = True;
  const Window host = XCreateWindow(x, display_->root(), 20, 14, 40, 30, 0, CopyFromParent,
                                    InputOutput, CopyFromParent, CWOverrideRedirect, &a);
  XMapRaised(x, host);
  const gfx::Argb outside = gfx::Rgb(200, 0, 0), under = gfx::Rgb(0, 192, 0),
                  corner = gfx::Rgb(1, 2, 250);
  const Pixmap desktop =
      XCreatePixmap(x, display_->root(), unsigned(display_->ScreenWidth()),
                    unsigned(display_->ScreenHeight()), unsigned(display_->depth()));
  GC gc = XCreateGC(x, desktop, 0, nullptr);
  const auto fill = [&](gfx::Argb color, int left, int top, int w, int h) {
    XSetForeground(x, gc, display_->format().FromArgb(color));
    XFillRectangle(x, desktop, gc, left, top, unsigned(w), unsigned(h));
  };
  fill(outside, 0, 0, display_->ScreenWidth(), display_->ScreenHeight());
  fill(under, 20, 14, 40, 30);
  fill(corner, 20, 14, 1, 1);
  fill(corner, 59, 43, 1, 1);
  const Atom screenshot = XInternAtom(x, "_SCREENSAVER_SCREENSHOT", False),
             wallpaper = XInternAtom(x, "_XROOTPMAP_ID", False);
  const auto store = [&](Window on, Atom property, Atom type, unsigned long id) {
    XChangeProperty(x, on, property, type, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&id), 1);
    XSync(x, False);
  };

  EventLoop loop(*display_);
  headless::HeadlessProcess process;
  SceneWindowOptions hosted;
  hosted.kind = SceneWindowOptions::Kind::kHosted;
  hosted.target = host;
  SceneWindowX11 window(*display_, loop, process, hosted);
  window.Create();
  window.Maximize();
  ASSERT_EQ(window.ClientWidth(), 40);
  const auto expect_capture = [&](gfx::Argb top_left, gfx::Argb inside, gfx::Argb bottom_right) {
    gfx::Surface shot(40, 30, gfx::kBlack);
    window.CaptureDesktop(shot, 40, 30);
    EXPECT_EQ(shot.at(0, 0), top_left);
    EXPECT_EQ(shot.at(1, 0), inside);
    EXPECT_EQ(shot.at(39, 29), bottom_right);
  };
  {
    SCOPED_TRACE("the daemon's picture");
    store(host, screenshot, XA_PIXMAP, desktop);
    expect_capture(corner, under, corner);
  }
  {
    SCOPED_TRACE("the published wallpaper");
    store(host, screenshot, XA_CARDINAL, desktop);
    store(display_->root(), wallpaper, XA_PIXMAP, desktop);
    expect_capture(corner, under, corner);
    XDeleteProperty(x, display_->root(), wallpaper);
  }
  {
    SCOPED_TRACE("a property of another type");
    expect_capture(pattern.at(20, 14), pattern.at(21, 14), pattern.at(59, 43));
  }
  {
    SCOPED_TRACE("the picture was freed");
    store(host, screenshot, XA_PIXMAP, desktop);
    XFreePixmap(x, desktop);
    expect_capture(pattern.at(20, 14), pattern.at(21, 14), pattern.at(59, 43));
  }
  window.Destroy();
  XFreeGC(x, gc);
  XDestroyWindow(x, host);
}

TEST_F(WithDisplay, TimersKeepTheirCadenceAndNeverNest) {
  // The loop's time moves by a millisecond whenever control comes back to
  // it, and by 30 in one slow tick: the cadence is judged on that time, not
  // on how busy the machine is.
  EventLoop::Clock::time_point now{};
  const auto elapsed_ms = [&] {
    return int(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count());
  };
  EventLoop loop(*display_, [&] { return now; });
  const auto pass_a_millisecond = [&] { now += std::chrono::milliseconds(1); };
  std::vector<int> ticked_at;
  bool inside = false, nested = false;
  EventLoop::Timer* timer = nullptr;
  timer = loop.AddTimer([&] {
    nested |= inside;
    inside = true;
    ticked_at.push_back(elapsed_ms());
    if (ticked_at.size() == 3) now += std::chrono::milliseconds(30);  // one slow tick
    if (ticked_at.size() == 20) loop.Quit();
    inside = false;
  });
  timer->SetInterval(10);
  timer->Enable(true);
  loop.Run(pass_a_millisecond);
  ASSERT_EQ(ticked_at.size(), 20u);
  EXPECT_FALSE(nested);
  // Due every 10 ms. The tick after the slow one comes at once and the
  // cadence goes on from there: no burst of the missed ones, no drift.
  EXPECT_NEAR(ticked_at[0], 10, 1);
  EXPECT_NEAR(ticked_at[1], 20, 1);
  EXPECT_NEAR(ticked_at[2], 30, 1);
  const int slow_tick_ended = ticked_at[2] + 30;
  for (size_t i = 3; i < ticked_at.size(); ++i)
    EXPECT_NEAR(ticked_at[i], slow_tick_ended + 10 * int(i - 3), 2) << "tick " << i + 1;
  // A disabled timer stays quiet; a removed one is gone.
  timer->Enable(false);
  EventLoop::Timer* stopper = loop.AddTimer([&] { loop.Quit(); });
  stopper->SetInterval(50);
  stopper->Enable(true);
  loop.Run(pass_a_millisecond);
  EXPECT_EQ(ticked_at.size(), 20u);
  loop.RemoveTimer(timer);
  loop.RemoveTimer(stopper);
}

}  // namespace
}  // namespace sarvel::x11
