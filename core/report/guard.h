// The outermost level of every event. A failure that no procedure handled
// must not cross into the platform's own frames (a window procedure, a GTK
// signal, the event loop): it stops the program with the fatal error
// message. Each front end passes the name that leads the message; its
// Process shows it and ends the program.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "core/ports/process.h"

namespace sarvel {

// "<program>: run-time error <number> (<description>)" for a numbered
// failure, "<program>: fatal error (<what>)" for any other.
std::string FatalMessage(std::string_view program, const std::exception& failure);

template <class Fn>
void Guarded(Process& process, std::string_view program, Fn&& fn) {
  try {
    std::forward<Fn>(fn)();
  } catch (const std::exception& failure) {
    process.FatalError(FatalMessage(program, failure));
  }
}

}  // namespace sarvel
