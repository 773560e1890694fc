#include <gtest/gtest.h>

#include <filesystem>
#include <new>

#include "core/report/guard.h"
#include "core/report/procedure.h"
#include "tests/support/headless_platform.h"
#include "tests/support/test_app.h"

namespace sarvel {
namespace {

class ProcedureTest : public ::testing::Test {
 protected:
  ProcedureTest()
      : folder_(testing::MakeTempFolder("proc")),
        reporter_(ErrorReporter::Services{p_.clock, p_.system, p_.exe, p_.files, p_.process}) {
    p_.exe.folder = folder_;
    reporter_.set_exit_procedure([this] { ++exits_; });
  }
  ~ProcedureTest() override { testing::RemoveFolder(folder_); }

  std::string Log() { return testing::ReadWholeFile(folder_ + "/Sarvel.EPT"); }
  int Protocols() { return testing::CountOccurrences(Log(), "F E H L E R"); }

  headless::Platform p_;
  std::string folder_;
  ErrorReporter reporter_;
  int exits_ = 0;
};

using testing::AnsweringReporter;

TEST_F(ProcedureTest, ARecurringFailureIsReportedThreeTimesThenTheProcedureIsLeft) {
  Procedure proc(reporter_, "Saver", "LoadConfig");
  int runs = 0;
  bool later_step_ran = false;
  EXPECT_FALSE(proc.Step(20, [&] {
    ++runs;
    Raise(Err::kTypeMismatch);
  }));
  proc.Step(30, [&] { later_step_ran = true; });
  EXPECT_EQ(runs, 3);
  EXPECT_EQ(Protocols(), 3);
  EXPECT_EQ(exits_, 3);
  EXPECT_EQ(p_.process.beeps, 3);
  EXPECT_FALSE(later_step_ran);
  EXPECT_TRUE(proc.left());
  const std::string log = Log();
  EXPECT_NE(log.find("Fehler-Nr / error :\t13 (Type mismatch)\r\n"), std::string::npos);
  EXPECT_NE(log.find("          Sarvel  V2.0.457\r\n"), std::string::npos);
}

// A failure that goes away on retry, or a step with a fallback, costs one
// report and lets the procedure go on.
TEST_F(ProcedureTest, AFailureThatGoesAwayOnRetryOrHasAFallbackLetsTheProcedureGoOn) {
  Procedure proc(reporter_, "frmConfig", "cmdOK_Click");
  int runs = 0, value = 0;
  bool later = false;
  EXPECT_TRUE(proc.Step(10, [&] {
    if (++runs == 1) Raise(Err::kOverflow);
  }));
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(Protocols(), 1);
  EXPECT_TRUE(proc.StepOr(
      20, [&] { Raise(Err::kTypeMismatch); }, [&] { value = 10; }));
  proc.Step(30, [&] { later = true; });
  EXPECT_EQ(value, 10);
  EXPECT_TRUE(later);
  EXPECT_EQ(Protocols(), 2);
}

// The report names the step's line (0 in procedures without numbers), also
// for failures of the operations a step calls and for library exceptions.
TEST_F(ProcedureTest, TheReportNamesTheFailingStepAndTheFailure) {
  auto helper_without_handler = [] { Raise(Err::kSubscriptOutOfRange); };
  Procedure proc(reporter_, "frmMain", "Blaetter");
  proc.Step(10, [] {});
  proc.Step(70, helper_without_handler);
  Procedure unnumbered(reporter_, "frmMain", "Pilze");
  unnumbered.Step(0, [] { throw std::bad_alloc(); });
  for (const char* report : {"9 (Subscript out of range)\r\n          Modul:\tfrmMain\r\n"
                             "          Prozedur / procedure:\tBlaetter\r\n"
                             "          Zeile / Line:\t70\r\n",
                             "7 (Out of memory)\r\n          Modul:\tfrmMain\r\n"
                             "          Prozedur / procedure:\tPilze\r\n"
                             "          Zeile / Line:\t0\r\n"})
    EXPECT_NE(Log().find(report), std::string::npos) << report;
}

TEST_F(ProcedureTest, SilentContinuationSkipsAFailingStepWithoutAReport) {
  Procedure proc(reporter_, "Allgemein", "Shutdown");
  proc.ContinueSilently();
  bool next_ran = false;
  EXPECT_TRUE(proc.Step(40, [] { Raise(Err::kInvalidCall); }));
  proc.Step(50, [&] { next_ran = true; });
  EXPECT_TRUE(next_ran);
  EXPECT_FALSE(std::filesystem::exists(folder_ + "/Sarvel.EPT"));
}

TEST_F(ProcedureTest, AFailureInsideTheReporterPassesToTheCaller) {
  // The log folder does not exist: writing the protocol fails inside OnError.
  p_.exe.folder = folder_ + "/missing";
  Procedure outer(reporter_, "frmMain", "tmrAnimation_timer");
  bool inner_left_early = true;
  int outer_runs = 0;
  // The outer report fails the same way, so the failure leaves the outermost
  // procedure: the event loop turns it into the fatal error message.
  EXPECT_THROW(outer.Step(40,
                          [&] {
                            ++outer_runs;
                            Procedure inner(reporter_, "frmMain", "Pilze");
                            inner.Step(30, [] { Raise(Err::kOverflow); });
                            inner_left_early = false;
                          }),
               RuntimeFailure);
  EXPECT_TRUE(inner_left_early);
  EXPECT_EQ(outer_runs, 1);
  EXPECT_EQ(p_.process.beeps, 0);  // no report got as far as the beep
  EXPECT_EQ(exits_, 0);
  EXPECT_EQ(p_.process.pointer_resets, 2);  // inner report, then the outer one
}

// Continues the test above: what leaves the outermost procedure stops the
// program with a message that names the program and the failure.
TEST_F(ProcedureTest, TheOutermostGuardTurnsAnUnhandledFailureIntoTheFatalMessage) {
  const auto fatal = [&](auto&& fn) {
    try {
      Guarded(p_.process, "sarvel", fn);
    } catch (const headless::FatalStop& stop) {
      return stop.message;
    }
    return std::string("(ran on)");
  };
  EXPECT_EQ(fatal([] {}), "(ran on)");
  EXPECT_EQ(fatal([] { Raise(Err::kPathFileAccess); }),
            "sarvel: run-time error 75 (Path/File access error)");
  EXPECT_EQ(fatal([] { throw std::bad_alloc(); }), "sarvel: fatal error (std::bad_alloc)");
  EXPECT_EQ(FatalMessage("Sarvel", RuntimeFailure(-3, "odd")), "Sarvel: run-time error -3 (odd)");
}

TEST_F(ProcedureTest, EachAnswerIsActedOn) {
  const ErrorReporter::Services services{p_.clock, p_.system, p_.exe, p_.files, p_.process};
  auto run = [&](int16_t answer, std::vector<int>* ran) {
    AnsweringReporter reporter(services, answer);
    Procedure proc(reporter, "Saver", "Main");
    proc.Step(20, [&] {
      ran->push_back(20);
      Raise(Err::kOverflow);
    });
    proc.Step(30, [&] { ran->push_back(30); });
  };
  std::vector<int> ignored, cancelled, other;
  run(kIgnore, &ignored);
  EXPECT_EQ(ignored, (std::vector<int>{20, 30}));
  run(kCancel, &cancelled);
  EXPECT_EQ(cancelled, (std::vector<int>{20}));
  run(7, &other);
  EXPECT_EQ(other, (std::vector<int>{20}));
  std::vector<int> ended;
  EXPECT_THROW(run(kEnd, &ended), ProgramEnded);
  EXPECT_EQ(ended, (std::vector<int>{20}));
  EXPECT_EQ(p_.process.ends, 1);
}

}  // namespace
}  // namespace sarvel
