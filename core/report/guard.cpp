#include "core/report/guard.h"

#include "core/base/failure.h"

namespace sarvel {

std::string FatalMessage(std::string_view program, const std::exception& failure) {
  const std::string name(program);
  if (const auto* numbered = dynamic_cast<const RuntimeFailure*>(&failure)) {
    return name + ": run-time error " + std::to_string(numbered->number()) + " (" +
           numbered->description() + ")";
  }
  return name + ": fatal error (" + failure.what() + ")";
}

}  // namespace sarvel
