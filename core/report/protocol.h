// The error protocol: 18 fixed lines describing a failure, the program and
// the operating system, appended to "<executable name>.EPT" beside the
// executable.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/ports/services.h"

namespace sarvel {

// The reporter's record: rows 0..3 (error, module, procedure, line) and the
// program-information line.
struct ErrorRecord {
  std::array<std::string, 4> rows;
  std::string prog_info;
};

// The part of `s` before its first zero character; empty when there is none.
std::string LPSTRToString(std::string_view s);

// The platform name for a version query's platform id.
std::string_view PlatformName(uint32_t platform_id);

// The protocol text for a record at a given time on a given system.
std::string BuildProtocol(const ErrorRecord& record, const LocalTime& now, const OsVersion& os);

// Builds the protocol from the clock and one version query.
std::string GetProtocol(const ErrorRecord& record, Clock& clock, SystemApi& system);

// Folder of the executable, a separator unless it ends with one, the
// executable's name and ".EPT".
std::string ErrorLogPath(ExecutableInfo& exe, char separator);

// Appends the protocol and one empty line to the error log. When the log
// beside the executable cannot be written, the protocol goes to the same
// name in the user's fallback folder; only when that fails too does the
// first failure pass on.
void WriteProtocol(const ErrorRecord& record, Clock& clock, SystemApi& system, ExecutableInfo& exe,
                   FileSystem& files);

}  // namespace sarvel
