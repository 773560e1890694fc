// The life of the process: another instance, the end, the beep.
#pragma once

#include <string>

namespace sarvel {

class Process {
 public:
  virtual ~Process() = default;
  virtual bool AnotherInstanceRunning() = 0;
  // Ends the program at once: files closed, no further handler runs.
  [[noreturn]] virtual void EndProgram() = 0;
  // A failure nobody handled: tell the user and stop.
  [[noreturn]] virtual void FatalError(const std::string& message) = 0;
  virtual void Beep() = 0;
  virtual void ResetMousePointer() = 0;
};

// Thrown by a platform's EndProgram where the process must not really end
// (the off-screen host, the tests); the driver catches it at the top.
struct ProgramEnded {
  int exit_code = 0;
};

}  // namespace sarvel
