// Numbered run-time failures: the one way a step reports that it cannot go on.
//
// A failing operation raises a RuntimeFailure carrying a number from the
// table below and its description. The reporting convention (see
// core/report/procedure.h) catches it at the step that was running and
// hands it to the error reporter.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace sarvel {

// The failure numbers this program raises, with the descriptions that the
// error protocol prints. Numbers not in the table describe themselves as
// "Application-defined or object-defined error".
enum class Err : int32_t {
  kInvalidCall = 5,          // Invalid procedure call or argument
  kOverflow = 6,             // Overflow
  kOutOfMemory = 7,          // Out of memory
  kSubscriptOutOfRange = 9,  // Subscript out of range
  kDivisionByZero = 11,      // Division by zero
  kTypeMismatch = 13,        // Type mismatch
  kBadFileName = 52,         // Bad file name or number
  kFileNotFound = 53,        // File not found
  kDeviceIo = 57,            // Device I/O error
  kDiskFull = 61,            // Disk full
  kPermissionDenied = 70,    // Permission denied
  kDiskNotReady = 71,        // Disk not ready
  kPathFileAccess = 75,      // Path/File access error
  kPathNotFound = 76,        // Path not found
  kInvalidPicture = 481,     // Invalid picture
};

// The description of a failure number, as printed in the protocol.
std::string_view DescribeFailure(int32_t number);

class RuntimeFailure : public std::exception {
 public:
  RuntimeFailure(int32_t number, std::string description);
  explicit RuntimeFailure(Err err);
  RuntimeFailure(Err err, std::string description);

  int32_t number() const { return number_; }
  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int32_t number_;
  std::string description_;
};

[[noreturn]] void Raise(Err err);
[[noreturn]] void Raise(Err err, std::string description);

}  // namespace sarvel
