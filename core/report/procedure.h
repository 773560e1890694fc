// The reporting convention, as one mechanism.
//
// A procedure declares its module and name and runs its work as numbered
// steps:
//
//   Procedure p(reporter, "Saver", "LoadConfig");
//   p.Step(20, [&] { s.max_leaf = ...; });
//   p.Step(30, [&] { s.leaf_speed = ...; });
//
// A failure in a step (a RuntimeFailure, or a failure of a called operation
// without a handler of its own) abandons the rest of the step and goes to
// ErrorReporter::OnError with the procedure's names; the failing step's number is
// the line of the current failure. The answer decides what follows:
//   0 retry   - the step runs again; a failure that recurs right after a
//               retry is reported at most twice more, then the procedure is
//               left as on answer 2, so nothing loops forever;
//   1 ignore  - the next step runs;
//   2 cancel  - the procedure is left: every later step is skipped;
//   3 end     - the program ends at once;
//   others    - as 2.
// A failure inside the reporter itself passes on to the caller's step, as a
// failure of the call. Procedures without numbered steps use line 0.
#pragma once

#include <cstdint>
#include <exception>
#include <utility>

#include "core/base/failure.h"
#include "core/report/error_reporter.h"

namespace sarvel {

// How many protocols a step that keeps failing may write in a row.
inline constexpr int kMaxReportsPerStep = 3;

class Procedure {
 public:
  // `module` and `name` are string literals; nothing is copied unless a
  // failure is reported, so a procedure costs nothing in the frame loop.
  Procedure(ErrorReporter& reporter, const char* module, const char* name)
      : reporter_(reporter), module_(module), name_(name) {}

  // Runs one step. Returns false when the procedure has been left (now or
  // earlier); later steps then do nothing.
  template <class Body>
  bool Step(int32_t line, Body&& body) {
    if (!Begin(line)) return false;
    for (int reports = 1;; ++reports) {
      if (Attempt(body) != Next::kRetry) return !left_;
      if (reports == kMaxReportsPerStep) {
        left_ = true;
        return false;
      }
    }
  }

  // A step whose failure cannot be mended by running it again (a stored text
  // that is not a number): the failure is reported once, then `fallback`
  // runs and the procedure goes on, unless the answer leaves or ends.
  template <class Body, class Fallback>
  bool StepOr(int32_t line, Body&& body, Fallback&& fallback) {
    if (!Begin(line)) return false;
    const Next next = Attempt(body);
    if (next == Next::kLeave) return false;
    if (next != Next::kDone) fallback();
    return !left_;
  }

  // From now on a failing step is skipped silently and the next one runs.
  void ContinueSilently() { silent_ = true; }
  // Leaves the procedure: every later step is skipped.
  void Leave() { left_ = true; }
  bool left() const { return left_; }
  int32_t line() const { return line_; }

 private:
  enum class Next { kDone, kRetry, kContinue, kLeave };

  // Makes `line` the current line; false once the procedure has been left.
  bool Begin(int32_t line) {
    if (left_) return false;
    line_ = line;
    return true;
  }

  // Runs the body once. A failure goes to the reporter, whose answer says
  // what follows; a failure inside the reporter passes on to the caller.
  template <class Body>
  Next Attempt(Body& body) {
    try {
      body();
      return Next::kDone;
    } catch (const RuntimeFailure& f) {
      return Report(f);
    } catch (const std::exception& e) {
      return Report(AsRuntimeFailure(e));
    }
  }

  static RuntimeFailure AsRuntimeFailure(const std::exception& e);
  // Hands a failure to the reporter and maps its answer.
  Next Report(const RuntimeFailure& failure);

  ErrorReporter& reporter_;
  const char* module_;
  const char* name_;
  int32_t line_ = 0;
  bool left_ = false;
  bool silent_ = false;
};

}  // namespace sarvel
