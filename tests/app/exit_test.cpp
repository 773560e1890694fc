#include <gtest/gtest.h>

#include <filesystem>

#include "core/report/procedure.h"
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
  bool Exit() {
    try {
      t_.app->saver.EndRun();
      return false;
    } catch (const ProgramEnded&) {
      return true;
    }
  }

  std::string folder_;
  testing::TestApp t_;
  size_t start_calls_ = 0;
};

TEST_F(ExitTest, OutsideFullScreenNothingChanges) {
  for (const char* line : {"/P 5", "/C", "/A 1", "/X"}) {
    testing::TestApp t(folder_);
    t.RunMain(line);
    const Log before = t.platform.system.calls;
    const Log forms_before = t.factory.log;
    EXPECT_NO_THROW(t.app->saver.EndRun());
    EXPECT_EQ(t.platform.system.calls, before);
    EXPECT_EQ(t.factory.log, forms_before);
  }
}

TEST_F(ExitTest, OnNtTheFirstCallRestoresEverythingOnceAndEnds) {
  StartFullScreen();
  EXPECT_TRUE(Exit());
  // The scene's unload handler called again while the run ended: the state
  // is restored exactly once and the program ends exactly once.
  EXPECT_EQ(CallsAfterStart(), (Log{"SaverHasOwnPassword()", "SetCursorHidden(0)",
                                    "SetScreenSaverActive(1)", "SetSaverRunning(0)"}));
  EXPECT_EQ(t_.platform.system.cursor_count, 0);
  EXPECT_TRUE(t_.platform.system.screensaver_active);
  EXPECT_FALSE(t_.platform.system.screensaver_running);
  EXPECT_EQ(t_.platform.process.ends, 1);
  EXPECT_EQ(t_.factory.log.back(), "destroy frmMain");
  EXPECT_EQ(t_.app->forms.count(), 0u);
}

TEST_F(ExitTest, ARefusedPasswordKeepsTheRunAndTheNextInputAsksAgain) {
  t_.platform.system.own_password = true;
  t_.platform.system.password_answers = {false, true};
  StartFullScreen();
  EXPECT_FALSE(Exit());
  EXPECT_EQ(CallsAfterStart(), (Log{"SaverHasOwnPassword()", "VerifySaverPassword(4096)"}));
  EXPECT_EQ(t_.platform.system.cursor_count, -1);
  EXPECT_TRUE(t_.platform.system.screensaver_running);
  EXPECT_EQ(t_.app->forms.count(), 1u);

  EXPECT_TRUE(Exit());
  EXPECT_EQ(t_.platform.system.cursor_count, 0);
  EXPECT_EQ(t_.platform.process.ends, 1);
  // One password check per call; the nested call from the unload asks none.
  int checks = 0;
  for (const auto& c : t_.platform.system.calls) checks += c.rfind("VerifySaverPassword", 0) == 0;
  EXPECT_EQ(checks, 2);
}

// The start-up module with a reporter whose answer the test chooses, and
// forms that record what happens to them; the scene's unload ends the run.
class AnsweredSaver : public SaverForms {
 public:
  AnsweredSaver(int16_t answer, const std::string& log_folder)
      : reporter(ErrorReporter::Services{p.clock, p.system, p.exe, p.files, p.process}, answer),
        general(reporter, p.files, p.process, forms),
        saver(Saver::Services{p.system, p.store, p.regional, p.clock, p.process}, reporter, rng,
              forms, general, *this),
        main_("frmMain", 0x1000, log),
        preview_("frmPreview", 0x1010, log),
        config_("frmConfig", 0x1020, log) {
    p.exe.folder = log_folder;
    reporter.set_exit_procedure([this] { saver.EndRun(); });
    main_.on_unload = [this] {
      saver.EndRun();
      return true;
    };
  }
  Form& scene_form() override { return main_; }
  Form& preview_form() override { return preview_; }
  Form& config_form() override { return config_; }

  headless::Platform p;
  testing::ScriptedRandom rng;
  testing::AnsweringReporter reporter;
  FormList forms;
  General general;
  Saver saver;
  Log log;

 private:
  headless::RecordingForm main_;
  headless::RecordingForm preview_;
  headless::RecordingForm config_;
};

// A restoring step that fails is reported, and whatever the answer, every
// other restoring step still runs, the forms unload and the run ends once.
TEST_F(ExitTest, EveryRestoringStepGetsItsTurnWhateverAnEarlierOneDid) {
  const std::pair<int, const char*> steps[] = {
      {70, "SetCursorHidden(0)"}, {80, "SetScreenSaverActive(1)"}, {90, "SetSaverRunning(0)"}};
  for (const int16_t answer : {kRetry, kIgnore, kCancel}) {
    for (const auto& [line, call] : steps) {
      const std::string what = std::string(call) + " failing, answer " + std::to_string(answer);
      const std::string folder = testing::MakeTempFolder("exit-answer");
      {
        AnsweredSaver a(answer, folder);
        a.p.system.failing_calls[call] = -1;
        a.saver.Main(RunRequest{});
        ASSERT_EQ(a.forms.count(), 1u) << what;
        EXPECT_THROW(a.saver.EndRun(), ProgramEnded) << what;

        EXPECT_EQ(a.p.process.ends, 1) << what;
        EXPECT_EQ(a.forms.count(), 0u) << what;
        EXPECT_EQ(a.log.back(), "destroy frmMain") << what;
        EXPECT_EQ(a.p.system.cursor_count, line == 70 ? -1 : 0) << what;
        EXPECT_EQ(a.p.system.screensaver_active, line == 80 ? false : true) << what;
        EXPECT_EQ(a.p.system.screensaver_running, line == 90) << what;
        const std::string protocol = testing::ReadWholeFile(folder + "/Sarvel.EPT");
        EXPECT_EQ(testing::CountOccurrences(protocol, "F E H L E R"), answer == kRetry ? 3 : 1)
            << what;
        EXPECT_EQ(
            testing::CountOccurrences(protocol, "Zeile / Line:\t" + std::to_string(line) + "\r\n"),
            answer == kRetry ? 3 : 1)
            << what;
        EXPECT_NE(protocol.find("Prozedur / procedure:\texitScreensaver\r\n"), std::string::npos)
            << what;
      }
      testing::RemoveFolder(folder);
    }
  }
}

TEST_F(ExitTest, AReportInFullScreenWritesOneProtocolBeepsAndEnds) {
  StartFullScreen();
  Procedure p(t_.app->reporter, "frmMain", "Hintergrund");
  EXPECT_THROW(p.Step(50, [] { Raise(Err::kFileNotFound); }), ProgramEnded);
  const std::string log = testing::ReadWholeFile(folder_ + "/Sarvel.EPT");
  EXPECT_EQ(testing::CountOccurrences(log, "F E H L E R"), 1);
  EXPECT_NE(log.find("53 (File not found)"), std::string::npos);
  EXPECT_EQ(t_.platform.process.beeps, 1);
  EXPECT_EQ(t_.platform.process.ends, 1);
  EXPECT_EQ(t_.platform.system.cursor_count, 0);
}

TEST_F(ExitTest, AReportInConfigurationModeIsRetried) {
  t_.RunMain("/C");
  Procedure p(t_.app->reporter, "frmConfig", "cmdOK_Click");
  int runs = 0;
  EXPECT_TRUE(p.Step(30, [&] {
    if (++runs < 2) Raise(Err::kOverflow);
  }));
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(t_.platform.process.beeps, 1);
  EXPECT_EQ(t_.platform.process.ends, 0);
}

}  // namespace
}  // namespace sarvel
