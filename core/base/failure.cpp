#include "core/base/failure.h"

#include <utility>

namespace sarvel {

std::string_view DescribeFailure(int32_t number) {
  switch (static_cast<Err>(number)) {
    case Err::kInvalidCall:
      return "Invalid procedure call or argument";
    case Err::kOverflow:
      return "Overflow";
    case Err::kOutOfMemory:
      return "Out of memory";
    case Err::kSubscriptOutOfRange:
      return "Subscript out of range";
    case Err::kDivisionByZero:
      return "Division by zero";
    case Err::kTypeMismatch:
      return "Type mismatch";
    case Err::kBadFileName:
      return "Bad file name or number";
    case Err::kFileNotFound:
      return "File not found";
    case Err::kDeviceIo:
      return "Device I/O error";
    case Err::kDiskFull:
      return "Disk full";
    case Err::kPermissionDenied:
      return "Permission denied";
    case Err::kDiskNotReady:
      return "Disk not ready";
    case Err::kPathFileAccess:
      return "Path/File access error";
    case Err::kPathNotFound:
      return "Path not found";
    case Err::kInvalidPicture:
      return "Invalid picture";
  }
  return "Application-defined or object-defined error";
}

RuntimeFailure::RuntimeFailure(int32_t number, std::string description)
    : number_(number), description_(std::move(description)) {}

RuntimeFailure::RuntimeFailure(Err err)
    : RuntimeFailure(static_cast<int32_t>(err),
                     std::string(DescribeFailure(static_cast<int32_t>(err)))) {}

RuntimeFailure::RuntimeFailure(Err err, std::string description)
    : RuntimeFailure(static_cast<int32_t>(err), std::move(description)) {}

void Raise(Err err) { throw RuntimeFailure(err); }
void Raise(Err err, std::string description) { throw RuntimeFailure(err, std::move(description)); }

}  // namespace sarvel
