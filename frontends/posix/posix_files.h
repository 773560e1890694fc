// POSIX files: the directory search, the append-only error log and whole-file
// reads, with failures mapped to the program's failure numbers.
#pragma once

#include <string>
#include <vector>

#include "core/ports/file_system.h"

namespace sarvel {

class PosixFileSystem : public FileSystem {
 public:
  // Plain files only; a name starting with a dot counts as hidden.
  bool FindPlainFile(const std::string& pattern) override;
  void AppendText(const std::string& path, const std::string& text) override;
  std::vector<uint8_t> ReadFile(const std::string& path) override;
  void CloseAllFiles() override {}  // files are never left open
  char PathSeparator() const override { return '/'; }
};

// Largest file ReadFile takes in; anything bigger is refused as out of memory.
inline constexpr size_t kMaxReadFileBytes = size_t(512) << 20;

}  // namespace sarvel
