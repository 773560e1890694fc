// The general module "Allgemein": RandomInt, FileExists and Shutdown.
#pragma once

#include <cstdint>
#include <string>

#include "app/forms.h"
#include "core/base/random.h"
#include "core/ports/file_system.h"
#include "core/ports/process.h"
#include "core/report/error_reporter.h"

namespace sarvel {

// A 16-bit integer from lower to upper (inclusive) drawn from `rng`:
// lower + floor(span * r) with span = upper - lower + 1 as a range-checked
// 16-bit value. Unordered bounds follow the same formula. Has no handler of
// its own: an overflow is the calling step's failure.
int16_t RandomInt(RandomSource& rng, int32_t lower, int32_t upper);

class General {
 public:
  General(ErrorReporter& reporter, FileSystem& files, Process& process, FormList& forms)
      : reporter_(reporter), files_(files), process_(process), forms_(forms) {}

  // True when `path` names at least one plain file (wildcards allowed).
  bool FileExists(const std::string& path);
  // Unloads every form, newest first, and closes open files; ends the
  // program when a form refuses to go.
  void Shutdown();

 private:
  ErrorReporter& reporter_;
  FileSystem& files_;
  Process& process_;
  FormList& forms_;
};

}  // namespace sarvel
