// Win32: the outermost level of every event. A failure that no procedure
// handled must not cross a window procedure: it stops the program with the
// fatal error message.
#pragma once

#include <string>

#include "core/base/failure.h"
#include "core/ports/services.h"

namespace sarvel::win32 {

std::string FatalMessage(const RuntimeFailure& f);

template <class Fn>
void Guarded(Process& process, Fn&& fn) {
  try {
    fn();
  } catch (const RuntimeFailure& f) {
    process.FatalError(FatalMessage(f));
  } catch (const std::exception& e) {
    process.FatalError(std::string("Sarvel: fatal error (") + e.what() + ")");
  }
}

}  // namespace sarvel::win32
