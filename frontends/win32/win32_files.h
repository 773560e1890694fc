// Win32: the directory search with file attributes, the append-only error log
// and whole-file reads, through the wide-character file API.
#pragma once

#include <string>
#include <vector>

#include "core/ports/file_system.h"

namespace sarvel {

class Win32FileSystem : public FileSystem {
 public:
  bool FindPlainFile(const std::string& pattern) override;
  void AppendText(const std::string& path, const std::string& text) override;
  std::vector<uint8_t> ReadFile(const std::string& path) override;
  void CloseAllFiles() override {}  // files are never left open
  char PathSeparator() const override { return '\\'; }
};

// Sets or clears the hidden and system attributes of a file.
bool SetFileHiddenSystem(const std::string& path, bool hidden, bool system);

inline constexpr size_t kMaxReadFileBytes = size_t(512) << 20;

}  // namespace sarvel
