#include <gtest/gtest.h>

#include "tests/support/test_app.h"

namespace sarvel {
namespace {

using Log = std::vector<std::string>;

class MainTest : public ::testing::Test {
 protected:
  MainTest() : folder_(testing::MakeTempFolder("main")), t_(folder_) {}
  ~MainTest() override { testing::RemoveFolder(folder_); }

  std::string ProtocolLog() { return testing::ReadWholeFile(folder_ + "/Sarvel.EPT"); }

  std::string folder_;
  testing::TestApp t_;
};

const Log kFullScreenForms = {"create frmMain", "load frmMain", "show frmMain"};
const Log kFullScreenCalls = {"SetScreenSaverActive(0)", "SetSaverRunning(1)", "SetCursorHidden(1)",
                              "KeepOnTop(4096, 1, 1)"};
const Log kPreviewForms = {"create frmPreview", "load frmPreview"};
Log PreviewCalls(const std::string& host, const char* size = "152, 112") {
  return {"PreviewHostSize(" + host + ")", "EmbedInPreviewHost(4112, " + host + ")",
          std::string("ShowInPreviewHost(4112, ") + size + ")"};
}

// Each switch opens its one form and makes its system calls in order; only a
// full-screen run switches activation off. Whatever else the system starts
// (previews, the dialog), the saver's activation stays as it was, and ending
// such a run changes nothing.
TEST_F(MainTest, EachSwitchOpensItsFormAndMakesItsCallsInOrder) {
  const Log config = {"create frmConfig", "load frmConfig", "show frmConfig"};
  struct Case {
    const char* line;
    bool another_instance, own_password;
    Log forms, calls;
  } cases[] = {
      {"/S", false, false, kFullScreenForms, kFullScreenCalls},
      {"  /s  ", false, false, kFullScreenForms, kFullScreenCalls},
      {"/S extra words", false, false, kFullScreenForms, kFullScreenCalls},
      {"", false, false, kFullScreenForms, kFullScreenCalls},
      {"/s:1234", false, false, kFullScreenForms, kFullScreenCalls},
      {"/S", true, false, {}, {}},  // beside another instance: nothing at all
      // The preview's host is read from the fourth character on.
      {"/P 1234", false, false, kPreviewForms, PreviewCalls("1234")},
      {"/p:1234", false, false, kPreviewForms, PreviewCalls("1234")},
      {"/P1234", false, false, kPreviewForms, PreviewCalls("234", "0, 0")},
      {"/P", false, false, kPreviewForms, PreviewCalls("0", "0, 0")},
      {"/P -5", false, false, kPreviewForms, PreviewCalls("-5", "0, 0")},
      {"/P 12.5", false, false, kPreviewForms, PreviewCalls("12", "0, 0")},
      {"/C", false, false, config, {}},
      {"/c:4567", false, false, config, {}},
      {"/A 5", false, false, {}, {"SaverHasOwnPassword()"}},
      {"/a:321", false, true, {}, {"SaverHasOwnPassword()", "ChangeSaverPassword(321)"}},
      {"/X", false, false, {}, {}},
      {"-s", false, false, {}, {}},
      {"/", false, false, {}, {}},
      {"\xc3\xbc/S", false, false, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("'") + c.line + "'");
    testing::TestApp t(folder_);
    t.platform.store.values["maxL"] = "3";
    t.platform.process.another_instance = c.another_instance;
    t.platform.system.own_password = c.own_password;
    t.platform.system.windows[1234] = PixelSize{152, 112};
    EXPECT_FALSE(t.RunMain(c.line));
    EXPECT_EQ(t.app->saver.settings.max_leaf, 3);
    EXPECT_EQ(t.factory.log, c.forms);
    EXPECT_EQ(t.platform.system.calls, c.calls);
    const bool full_screen = c.forms == kFullScreenForms;
    EXPECT_EQ(t.app->saver.full_screen_run, full_screen);
    EXPECT_EQ(t.platform.system.cursor_count, full_screen ? -1 : 0);
    EXPECT_EQ(t.platform.system.screensaver_running, full_screen);
    if (full_screen) continue;
    // The preview's unload and the dialog's closing end nothing.
    EXPECT_NO_THROW(t.app->saver.EndRun());
    t.app->general.Shutdown();
    EXPECT_EQ(t.platform.system.calls, c.calls);
    EXPECT_TRUE(t.platform.system.screensaver_active);
  }
}

TEST_F(MainTest, TheGeneratorIsSeededFromTheTimeOfDay) {
  t_.platform.clock.now = LocalTime{2026, 12, 6, 1, 2, 3, 250};
  t_.RunMain("/C");
  EXPECT_EQ(t_.rng.seeds, (std::deque<uint32_t>{(3600 + 120 + 3) * 1000 + 250}));
}

TEST_F(MainTest, AHandleBeyondThirtyTwoBitsIsReportedAtItsStepAndOpensNothing) {
  t_.RunMain("/P 99999999999");
  EXPECT_EQ(t_.factory.log, Log{});
  const std::string log = ProtocolLog();
  EXPECT_EQ(testing::CountOccurrences(log, "F E H L E R"), 3);
  EXPECT_NE(log.find("Prozedur / procedure:\tMain\r\n          Zeile / Line:\t80\r\n"),
            std::string::npos);
}

TEST_F(MainTest, ALoadFailureIsReportedAndTheFullScreenRunGoesOnWithTheDefault) {
  t_.platform.store.values["SpeedL"] = "fast";
  EXPECT_FALSE(t_.RunMain("/S"));
  EXPECT_EQ(testing::CountOccurrences(ProtocolLog(), "F E H L E R"), 1);
  EXPECT_EQ(t_.factory.log, kFullScreenForms);
  EXPECT_EQ(t_.app->saver.settings.leaf_speed, 10.0f);
}

TEST_F(MainTest, KeepOnTopPassesItsArgumentsAndTheAnswer) {
  EXPECT_TRUE(t_.app->saver.KeepOnTop(t_.app->config_form(), false, true));
  EXPECT_EQ(t_.platform.system.calls.back(), "KeepOnTop(4128, 0, 1)");
}

}  // namespace
}  // namespace sarvel
