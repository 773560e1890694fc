// Win32: every event runs inside the outermost guard, whose fatal message
// names the program as the system shows it.
#pragma once

#include <string_view>
#include <utility>

#include "core/report/guard.h"

namespace sarvel::win32 {

inline constexpr std::string_view kFatalMessageProgram = "Sarvel";

template <class Fn>
void Guarded(Process& process, Fn&& fn) {
  sarvel::Guarded(process, kFatalMessageProgram, std::forward<Fn>(fn));
}

}  // namespace sarvel::win32
