#include "core/report/error_reporter.h"

namespace sarvel {

std::string ErrorReporter::BuiltProgInfo() {
  const Version v = s_.exe.FileVersion();
  return s_.exe.FileTitle() + "  V" + std::to_string(v.major) + "." + std::to_string(v.minor) +
         "." + std::to_string(v.revision);
}

int16_t ErrorReporter::OnError(const std::string& module, const std::string& procedure) {
  record_.rows[0] = std::to_string(current_.number) + " (" + current_.description + ")";
  record_.rows[1] = module;
  record_.rows[2] = procedure;
  record_.rows[3] = std::to_string(current_.line);
  if (record_.prog_info.empty()) record_.prog_info = BuiltProgInfo();
  s_.process.ResetMousePointer();
  // A log that cannot be written ends the report here, without beep or exit.
  WriteProtocol(record_, s_.clock, s_.system, s_.exe, s_.files);
  s_.process.Beep();
  if (exit_) exit_();
  return kRetry;
}

}  // namespace sarvel
