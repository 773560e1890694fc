#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_app.h"

namespace sarvel {
namespace {

using Log = std::vector<std::string>;

class ExitTest : public ::testing::Test {
 protected:
  ExitTest() : folder_(testing::MakeTempFolder("exit")), t_(folder_) {}
  ~ExitTest() override { testing::RemoveFolder(folder_); }

  Log CallsAfterStart() {
    Log all = t_.platform.system.calls;
    return Log(all.begin() + long(start_calls_), all.end());
  }
  void StartFullScreen() {
    t_.RunMain("/S");
    start_calls_ = t_.platform.system.calls.size();
  }

  std::string folder_;
  testing::TestApp t_;
  size_t start_calls_ = 0;
};

TEST_F(ExitTest, OnNtTheFirstCallRestoresEverythingOnceAndEnds) {
  StartFullScreen();
  EXPECT_THROW(t_.app->saver.EndRun(), ProgramEnded);
  // The scene's unload handler called again while the run ended: the state
  // is restored exactly once and the program ends exactly once.
  EXPECT_EQ(CallsAfterStart(), (Log{"SaverHasOwnPassword()", "SetCursorHidden(0)",
                                    "SetScreenSaverActive(1)", "SetSaverRunning(0)"}));
  EXPECT_EQ(t_.platform.process.ends, 1);
  EXPECT_EQ(t_.factory.log.back(), "destroy frmMain");
  EXPECT_EQ(t_.app->forms.count(), 0u);
}

TEST_F(ExitTest, ARefusedPasswordKeepsTheRunAndTheNextInputAsksAgain) {
  t_.platform.system.own_password = true;
  t_.platform.system.password_answers = {false, true};
  StartFullScreen();
  EXPECT_NO_THROW(t_.app->saver.EndRun());
  EXPECT_EQ(CallsAfterStart(), (Log{"SaverHasOwnPassword()", "VerifySaverPassword(4096)"}));
  EXPECT_EQ(t_.platform.system.cursor_count, -1);
  EXPECT_TRUE(t_.platform.system.screensaver_running);
  EXPECT_EQ(t_.app->forms.count(), 1u);

  EXPECT_THROW(t_.app->saver.EndRun(), ProgramEnded);
  EXPECT_EQ(t_.platform.process.ends, 1);
  // One password check per call; the nested call from the unload asks none.
  EXPECT_EQ(CallsAfterStart(),
            (Log{"SaverHasOwnPassword()", "VerifySaverPassword(4096)", "SaverHasOwnPassword()",
                 "VerifySaverPassword(4096)", "SetCursorHidden(0)", "SetScreenSaverActive(1)",
                 "SetSaverRunning(0)"}));
}

// A restoring step that fails is reported as every step is, and every other
// restoring step still runs, the forms unload and the run ends once.
TEST_F(ExitTest, EveryRestoringStepGetsItsTurnWhateverAnEarlierOneDid) {
  const std::pair<int, const char*> steps[] = {
      {70, "SetCursorHidden(0)"}, {80, "SetScreenSaverActive(1)"}, {90, "SetSaverRunning(0)"}};
  for (const auto& [line, call] : steps) {
    SCOPED_TRACE(call);
    std::filesystem::remove(folder_ + "/Sarvel.EPT");
    testing::TestApp t(folder_);
    t.platform.system.failing_calls[call] = -1;
    t.RunMain("/S");
    EXPECT_THROW(t.app->saver.EndRun(), ProgramEnded);
    EXPECT_EQ(t.platform.process.ends, 1);
    EXPECT_EQ(t.app->forms.count(), 0u);
    EXPECT_EQ(t.factory.log.back(), "destroy frmMain");
    EXPECT_EQ(t.platform.system.cursor_count, line == 70 ? -1 : 0);
    EXPECT_EQ(t.platform.system.screensaver_active, line != 80);
    EXPECT_EQ(t.platform.system.screensaver_running, line == 90);
    const std::string protocol = testing::ReadWholeFile(folder_ + "/Sarvel.EPT");
    EXPECT_EQ(testing::CountOccurrences(protocol, "F E H L E R"), 3);
    EXPECT_EQ(testing::CountOccurrences(protocol,
                                        "Prozedur / procedure:\texitScreensaver\r\n"
                                        "          Zeile / Line:\t" +
                                            std::to_string(line) + "\r\n"),
              3);
  }
}

}  // namespace
}  // namespace sarvel
