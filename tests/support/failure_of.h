// The number of the run-time error a call raises; 0 when it raises none.
#pragma once

#include <cstdint>

#include "core/base/failure.h"

namespace sarvel::testing {

int32_t FailureOf(auto&& f) {
  try {
    f();
  } catch (const RuntimeFailure& e) {
    return e.number();
  }
  return 0;
}

}  // namespace sarvel::testing
