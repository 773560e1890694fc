// The error protocol: 18 fixed lines describing a failure, the program and
// the operating system, appended to "<executable name>.EPT" beside the
// executable.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/ports/clock.h"
#include "core/ports/executable_info.h"
#include "core/ports/file_system.h"
#include "core/ports/saver_system.h"

namespace sarvel {

// The reporter's record: rows 0..3 (error, module, procedure, line) and the
// program-information line.
struct ErrorRecord {
  std::array<std::string, 4> rows;
  std::string prog_info;
};

// The protocol text for a record at a given time on a given system.
std::string BuildProtocol(const ErrorRecord& record, const LocalTime& now,
                          const SystemDescription& os);

// Builds the protocol from the clock and the system's description.
std::string GetProtocol(const ErrorRecord& record, Clock& clock, SaverSystem& system);

// Folder of the executable, a separator unless it ends with one, the
// executable's name and ".EPT".
std::string ErrorLogPath(ExecutableInfo& exe, char separator);

// Appends the protocol and one empty line to the error log. When the log
// beside the executable cannot be written, the protocol goes to the same
// name in the user's fallback folder; only when that fails too does the
// first failure pass on.
void WriteProtocol(const ErrorRecord& record, Clock& clock, SaverSystem& system,
                   ExecutableInfo& exe, FileSystem& files);

}  // namespace sarvel
