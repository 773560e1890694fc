// The native program's command line: the run request it makes, the hack
// conventions, the one-run settings and the store that lays them over the file.
#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/failure.h"
#include "frontends/posix/command_line.h"
#include "frontends/posix/override_store.h"
#include "tests/support/headless_platform.h"

namespace sarvel {
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

using Mode = RunRequest::Mode;

TEST(CommandLine, TheDisplaySettingsSwitchesBecomeTheirRequests) {
  EXPECT_EQ(Parse({})->request.mode, Mode::kFullScreen);
  const auto preview = Parse({"/p", "1234"});
  EXPECT_EQ(preview->request.mode, Mode::kPreview);
  EXPECT_EQ(preview->request.window_number, 1234);
  EXPECT_EQ(Parse({"/c:42"})->request.mode, Mode::kSettings);
  EXPECT_EQ(Parse({"/A"})->request.mode, Mode::kPasswordChange);
  EXPECT_EQ(Parse({"/X"})->request.mode, Mode::kNone);
  EXPECT_EQ(Parse({"-h"})->mode, Invocation::Mode::kHelp);
  // Options around a switch still count for the run.
  auto inv = Parse({"-count", "4", "/S"});
  EXPECT_EQ(inv->request.mode, Mode::kFullScreen);
  EXPECT_FALSE(inv->hosted);
  EXPECT_EQ(inv->overrides.Number("maxL"), 4);
}

TEST(CommandLine, WindowedModeTakesAnOptionalSizeOfAtLeastSixteenEachWay) {
  auto plain = Parse({"--window"});
  EXPECT_EQ(plain->request.mode, Mode::kWindow);
  EXPECT_EQ(plain->window_width, 1024);
  auto sized = Parse({"--window", "800x600", "-no-date"});
  EXPECT_EQ(sized->window_width, 800);
  EXPECT_EQ(sized->window_height, 600);
  EXPECT_EQ(sized->overrides.Number("Date"), 0);
  EXPECT_EQ(Parse({"-window=320x200"})->window_height, 200);
  EXPECT_EQ(Parse({"-window=16x16"})->window_width, 16);
}

TEST(CommandLine, HackConventions) {
  EXPECT_EQ(Parse({"-window-id", "0x2a00007"})->window_id, WindowId(0x2a00007));
  EXPECT_EQ(Parse({"--window-id=12345"})->window_id, WindowId(12345));
  auto root = Parse({"-root"});
  EXPECT_EQ(root->request.mode, Mode::kFullScreen);
  EXPECT_TRUE(root->hosted);
  // The daemon's variable chooses the window only when nothing else chose.
  auto env = Parse({"-speed", "3"}, "0x400001");
  EXPECT_TRUE(env->hosted);
  EXPECT_EQ(env->window_id, WindowId(0x400001));
  // Under a daemon -root means the daemon's window; -window-id still wins.
  EXPECT_EQ(Parse({"-root"}, "0x400001")->window_id, WindowId(0x400001));
  EXPECT_EQ(Parse({"-root", "-window-id", "7"}, "0x400001")->window_id, WindowId(7));
  EXPECT_EQ(Parse({"-root"})->window_id, WindowId(0));
  EXPECT_FALSE(Parse({"/S"}, "0x400001")->hosted);
  EXPECT_EQ(Parse({"--window"}, "0x400001")->request.mode, Mode::kWindow);
  EXPECT_FALSE(Parse({}, "")->hosted);
  EXPECT_NE(Refusal({}, "window"), "");
}

TEST(CommandLine, AnotherProgramsWindowIsAlwaysX11) {
  const char* session = "wayland-1";
  EXPECT_TRUE(ChoosesWayland(*Parse({}), session));
  EXPECT_TRUE(ChoosesWayland(*Parse({"/C"}), session));
  EXPECT_FALSE(ChoosesWayland(*Parse({}), ""));
  EXPECT_FALSE(ChoosesWayland(*Parse({}), nullptr));
  EXPECT_FALSE(ChoosesWayland(*Parse({"--x11"}), session));
  EXPECT_TRUE(ChoosesWayland(*Parse({"--wayland", "--window"}), nullptr));
  // Hosts hand over X11 windows, inside a Wayland session too.
  EXPECT_FALSE(ChoosesWayland(*Parse({"-root"}), session));
  EXPECT_FALSE(ChoosesWayland(*Parse({"-window-id", "7"}), session));
  EXPECT_FALSE(ChoosesWayland(*Parse({}, "0x400001"), session));
  EXPECT_FALSE(ChoosesWayland(*Parse({"/P", "42"}), session));
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
  EXPECT_EQ(Parse({"/c"})->request.mode, Mode::kSettings);
  EXPECT_EQ(Parse({"-scale", "2", "/C"})->request.mode, Mode::kSettings);
  EXPECT_EQ(Parse({"-count", "3", "/p", "77"})->overrides.Number("maxL"), 3);
  EXPECT_EQ(Parse({"-count", "3", "/X"})->overrides.Number("maxL"), 3);
}

// Speed and scale take either decimal separator; without a scale the
// display's own (Xft.dpi) is used.
TEST(CommandLine, SpeedAndScaleTakeEitherSeparator) {
  EXPECT_FLOAT_EQ(*Parse({"-speed", "0,1"})->overrides.Number("SpeedL"), 0.1f);
  EXPECT_FLOAT_EQ(*Parse({"--speed=10"})->overrides.Number("SpeedL"), 10.0f);
  EXPECT_EQ(Parse({"/S"})->scale, 0.0);
  EXPECT_DOUBLE_EQ(Parse({"-scale", "1,5", "/S"})->scale, 1.5);
  EXPECT_DOUBLE_EQ(Parse({"--scale=2"})->scale, 2.0);
}

// Each case, up to its semicolon, split at its spaces into the arguments.
TEST(CommandLine, MistakesAndClashesAreRefused) {
  std::istringstream cases(
      "--window=big; --window=800x15; --window=15x600; --window=16385x600; --window=800x16385;"
      "-window-id 0xZZ; -window-id; -root --window; -root /S;"
      "--wayland -root; --wayland /P 42; --wayland --x11;"
      "-count 0; -count 26; -count 5x; -speed 0; -speed 11; -speed nan;"
      "-restart -1; -background green; -frobnicate; -root -count 3 /C;"
      "-scale 0.4; -scale 9; -scale;"
      "--idle; --idle 5 /S; --idle 5 -root; --idle 5 -count 3");
  for (std::string line; std::getline(cases, line, ';');) {
    std::istringstream words(line);
    EXPECT_NE(Refusal({std::istream_iterator<std::string>(words), {}}), "") << line;
  }
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

// The layered store: overrides first, the file for the rest.
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

}  // namespace
}  // namespace sarvel
