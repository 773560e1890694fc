// The running executable: where it lives, its name and its version.
#pragma once

#include <string>

namespace sarvel {

struct Version {
  int major = 0;
  int minor = 0;
  int revision = 0;
};

class ExecutableInfo {
 public:
  virtual ~ExecutableInfo() = default;
  virtual std::string Folder() = 0;     // without a trailing separator, unless a root
  virtual std::string FileTitle() = 0;  // file name without its extension
  virtual std::string Title() = 0;      // the application title
  virtual Version FileVersion() = 0;
  // A folder of the user's own that takes the error log whenever it cannot
  // be opened or written beside the executable (a read-only folder or file,
  // a folder of its name, a lock held by another program, a full disk), so
  // that no report is lost; empty when the platform has none.
  virtual std::string FallbackLogFolder() { return {}; }
};

}  // namespace sarvel
