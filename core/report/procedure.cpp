#include "core/report/procedure.h"

#include <new>
#include <stdexcept>

namespace sarvel {

RuntimeFailure Procedure::AsRuntimeFailure(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e) || dynamic_cast<const std::length_error*>(&e))
    return RuntimeFailure(Err::kOutOfMemory);
  if (dynamic_cast<const std::out_of_range*>(&e)) return RuntimeFailure(Err::kSubscriptOutOfRange);
  return RuntimeFailure(Err::kInvalidCall);
}

Procedure::Next Procedure::Report(const RuntimeFailure& failure) {
  if (silent_) return Next::kContinue;
  CurrentFailure& current = reporter_.current_failure();
  current.number = failure.number();
  current.description = failure.description();
  current.line = line_;
  // A failure inside OnError propagates from here to the caller's step.
  const int16_t answer = reporter_.OnError(module_, name_);
  switch (answer) {
    case kRetry:
      return Next::kRetry;
    case kIgnore:
      return Next::kContinue;
    case kEnd:
      reporter_.process().EndProgram();
      break;
    default:
      break;
  }
  left_ = true;
  return Next::kLeave;
}

}  // namespace sarvel
