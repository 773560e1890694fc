#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_app.h"

namespace sarvel {
namespace {

using Log = std::vector<std::string>;

class MainTest : public ::testing::Test {
 protected:
  MainTest() : folder_(testing::MakeTempFolder("main")), t_(folder_) {}
  ~MainTest() override { testing::RemoveFolder(folder_); }

  const Log& forms() { return t_.factory.log; }
  const Log& calls() { return t_.platform.system.calls; }
  int Protocols() {
    return testing::CountOccurrences(testing::ReadWholeFile(folder_ + "/Sarvel.EPT"),
                                     "F E H L E R");
  }

  std::string folder_;
  testing::TestApp t_;
};

const Log kFullScreenForms = {"create frmMain", "load frmMain", "show frmMain"};

TEST_F(MainTest, FullScreenForEveryWayOfAskingForIt) {
  for (const char* line : {"/S", "/s", "  /S  ", "/S extra words", "", "   ", "/s:1234"}) {
    testing::TestApp t(folder_);
    EXPECT_FALSE(t.RunMain(line));
    EXPECT_EQ(t.factory.log, kFullScreenForms) << "'" << line << "'";
    EXPECT_TRUE(t.app->saver.full_screen_run);
    EXPECT_EQ(t.platform.system.calls, (Log{"SetScreenSaverActive(0)", "SetSaverRunning(1)",
                                            "SetCursorHidden(1)", "KeepOnTop(4096, 1, 1)"}))
        << line;
    EXPECT_EQ(t.platform.system.cursor_count, -1);
  }
}

TEST_F(MainTest, SettingsAreLoadedAndTheGeneratorSeededFromTheTimeOfDay) {
  t_.platform.store.values["maxL"] = "4";
  t_.platform.clock.now = LocalTime{2026, 12, 6, 1, 2, 3, 250};
  t_.RunMain("/C");
  EXPECT_EQ(t_.app->saver.settings.max_leaf, 4);
  ASSERT_EQ(t_.rng.seeds.size(), 1u);
  EXPECT_EQ(t_.rng.seeds[0], uint32_t((3600 + 120 + 3) * 1000 + 250));
}

TEST_F(MainTest, PreviewReadsTheHandleFromTheFourthCharacter) {
  struct Case {
    const char* line;
    WindowHandle parent;
  } cases[] = {{"/P 1234", 1234}, {"/p:1234", 1234}, {"/P1234", 234}, {"/P", 0},
               {"/P  77", 77},    {"/P -5", -5},     {"/P abc", 0},   {"/P 12.5", 12}};
  for (const Case& c : cases) {
    testing::TestApp t(folder_);
    t.platform.system.windows[c.parent] = PixelSize{152, 112};
    EXPECT_FALSE(t.RunMain(c.line));
    const std::string p = std::to_string(c.parent);
    EXPECT_EQ(t.platform.system.calls,
              (Log{"PreviewHostSize(" + p + ")", "EmbedInPreviewHost(4112, " + p + ")",
                   "ShowInPreviewHost(4112, 152, 112)"}))
        << c.line;
    EXPECT_EQ(t.factory.log, (Log{"create frmPreview", "load frmPreview"}));
    EXPECT_FALSE(t.app->saver.full_screen_run);
  }
}

TEST_F(MainTest, APreviewHandleThatNamesNoWindowSizesThePreviewToNothing) {
  t_.RunMain("/P 999");
  EXPECT_EQ(calls().back(), "ShowInPreviewHost(4112, 0, 0)");
}

TEST_F(MainTest, AHandleBeyondThirtyTwoBitsIsReportedBoundedlyAndOpensNothingUsable) {
  t_.RunMain("/P 99999999999");
  EXPECT_EQ(Protocols(), 3);
  EXPECT_EQ(forms(), Log{});  // Main was left at line 80
  const std::string log = testing::ReadWholeFile(folder_ + "/Sarvel.EPT");
  EXPECT_NE(log.find("Prozedur / procedure:\tMain\r\n"), std::string::npos);
  EXPECT_NE(log.find("Zeile / Line:\t80\r\n"), std::string::npos);
}

TEST_F(MainTest, ConfigurationOpensTheDialogWithoutOwner) {
  for (const char* line : {"/C", "/c:4567", "/C 4567"}) {
    testing::TestApp t(folder_);
    t.RunMain(line);
    EXPECT_EQ(t.factory.log, (Log{"create frmConfig", "load frmConfig", "show frmConfig"}));
    EXPECT_EQ(t.platform.system.calls, Log{});
  }
}

TEST_F(MainTest, PasswordModeCallsTheDialogOnlyWhereTheSaverHasAPasswordOfItsOwn) {
  t_.RunMain("/A 5");
  EXPECT_EQ(calls(), (Log{"SaverHasOwnPassword()"}));
  EXPECT_EQ(forms(), Log{});

  testing::TestApp old(folder_);
  old.platform.system.own_password = true;
  old.RunMain("/a:321");
  EXPECT_EQ(old.platform.system.calls, (Log{"SaverHasOwnPassword()", "ChangeSaverPassword(321)"}));
}

TEST_F(MainTest, AnUnknownSwitchOpensNothingAfterLoadingTheSettings) {
  for (const char* line : {"/X", "-s", "S", "/", "/Q 12", "\xc3\xbc/S"}) {
    testing::TestApp t(folder_);
    t.platform.store.values["maxL"] = "3";
    EXPECT_FALSE(t.RunMain(line));
    EXPECT_EQ(t.factory.log, Log{}) << line;
    EXPECT_EQ(t.platform.system.calls, Log{});
    EXPECT_EQ(t.app->saver.settings.max_leaf, 3);
  }
}

TEST_F(MainTest, AFullScreenStartBesideAnotherInstanceTouchesNothing) {
  t_.platform.process.another_instance = true;
  t_.RunMain("/S");
  EXPECT_EQ(forms(), Log{});
  EXPECT_EQ(calls(), Log{});
  EXPECT_FALSE(t_.app->saver.full_screen_run);
  EXPECT_EQ(t_.platform.system.cursor_count, 0);
  EXPECT_FALSE(t_.platform.system.screensaver_running);
}

// The system starts a preview each time its settings page is shown and the
// dialog for "Settings": whatever the user does there, the screen saver stays
// switched on or off as it was. Only a full-screen run switches it off, and
// its end switches it on again.
TEST_F(MainTest, OnlyAFullScreenRunSwitchesActivationOffAndItsEndOnAgain) {
  struct Case {
    const char* line;
    bool another_instance;
    bool nt;
  } cases[] = {{"/P 5", false, true},    {"/p:77", false, true}, {"/C", false, true},
               {"/c:4567", false, true}, {"/A 5", false, true},  {"/A 5", false, false},
               {"/X", false, true},      {"/S", true, true},     {"", true, false}};
  for (bool active : {true, false}) {
    for (const Case& c : cases) {
      testing::TestApp t(folder_);
      t.platform.system.screensaver_active = active;
      t.platform.process.another_instance = c.another_instance;
      t.platform.system.own_password = !c.nt;
      t.RunMain(c.line);
      t.app->saver.EndRun();      // as the preview's unload does
      t.app->general.Shutdown();  // the dialog or the preview closed
      EXPECT_EQ(t.platform.system.screensaver_active, active) << "'" << c.line << "'";
      for (const std::string& call : t.platform.system.calls)
        EXPECT_NE(call.rfind("SetScreenSaverActive(", 0), 0u) << c.line << ": " << call;
    }
  }
  EXPECT_FALSE(t_.RunMain("/S"));
  EXPECT_FALSE(t_.platform.system.screensaver_active);
  EXPECT_THROW(t_.app->saver.EndRun(), ProgramEnded);
  EXPECT_TRUE(t_.platform.system.screensaver_active);
}

TEST_F(MainTest, ALoadFailureIsRetriedEvenWhenFullScreenIsAskedFor) {
  t_.platform.store.values["SpeedL"] = "fast";
  EXPECT_FALSE(t_.RunMain("/S"));
  EXPECT_EQ(Protocols(), 1);
  EXPECT_EQ(forms(), kFullScreenForms);  // the run goes on with the default speed
  EXPECT_EQ(t_.app->saver.settings.leaf_speed, 10.0f);
}

TEST_F(MainTest, KeepOnTopPassesItsArgumentsAndTheAnswer) {
  App& app = *t_.app;
  Form& f = app.config_form();
  EXPECT_TRUE(app.saver.KeepOnTop(f, false, false));
  EXPECT_EQ(calls().back(), "KeepOnTop(4128, 0, 0)");
  app.saver.KeepOnTop(f, true, true);
  EXPECT_EQ(calls().back(), "KeepOnTop(4128, 1, 1)");
}

}  // namespace
}  // namespace sarvel
