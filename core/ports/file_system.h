// Files: the directory search, the error log's appends and whole reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sarvel {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Directory search admitting plain files only (read-only and archive files
  // included; hidden and system files and folders excluded); wildcards in the
  // last part take part. Raises when the search cannot be carried out.
  virtual bool FindPlainFile(const std::string& pattern) = 0;
  // Opens for appending (creating), writes, closes. Raises on failure.
  virtual void AppendText(const std::string& path, const std::string& text) = 0;
  // Whole file; raises Err::kFileNotFound or Err::kPathFileAccess.
  virtual std::vector<uint8_t> ReadFile(const std::string& path) = 0;
  virtual void CloseAllFiles() = 0;
  virtual char PathSeparator() const = 0;
};

}  // namespace sarvel
