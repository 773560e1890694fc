// The one error reporter. A reporting procedure hands it a failure (see
// procedure.h); it fills its record, appends the protocol to the error
// log, beeps and asks the start-up module to end the run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/ports/clock.h"
#include "core/ports/executable_info.h"
#include "core/ports/file_system.h"
#include "core/ports/process.h"
#include "core/ports/saver_system.h"
#include "core/report/protocol.h"

namespace sarvel {

// The failure being handled: set by the failing step, read by OnError.
struct CurrentFailure {
  int32_t number = 0;
  std::string description;
  int32_t line = 0;
};

// What the reporting procedure does next.
enum Answer : int16_t { kRetry = 0, kIgnore = 1, kCancel = 2, kEnd = 3 };

class ErrorReporter {
 public:
  struct Services {
    Clock& clock;
    SaverSystem& system;
    ExecutableInfo& exe;
    FileSystem& files;
    Process& process;
  };

  explicit ErrorReporter(Services services) : s_(services) {}
  virtual ~ErrorReporter() = default;

  // The start-up module's exit procedure, called at the end of every report.
  void set_exit_procedure(std::function<void()> exit) { exit_ = std::move(exit); }

  // Reports the current failure and answers how the procedure goes on.
  virtual int16_t OnError(const std::string& module, const std::string& procedure);
  void SetProgInfo(std::string text) { record_.prog_info = std::move(text); }

  CurrentFailure& current_failure() { return current_; }
  const ErrorRecord& record() const { return record_; }
  Process& process() { return s_.process; }

 private:
  std::string BuiltProgInfo();

  Services s_;
  std::function<void()> exit_;
  CurrentFailure current_;
  ErrorRecord record_;
};

}  // namespace sarvel
