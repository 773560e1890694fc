// Shared by the bad-input tests: a private folder with the error log, small
// real pictures written on the spot, and a full-screen run of the real scene
// on the headless platform whose log goes to that folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tests/support/bitmap_bytes.h"
#include "tests/support/scene_run.h"
#include "tests/support/test_app.h"

namespace sarvel::reliability {

// A folder of its own per test, removed afterwards.
class Folder {
 public:
  explicit Folder(const std::string& tag) : path_(testing::MakeTempFolder(tag)) {}
  ~Folder() { testing::RemoveFolder(path_); }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + '/' + name; }
  std::string Log() const { return testing::ReadWholeFile(*this / "Sarvel.EPT"); }
  int Protocols() const { return testing::CountOccurrences(Log(), "F E H L E R"); }

 private:
  std::string path_;
};

using test::BitmapBytes;

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The settings store of a full-screen run, as texts.
inline headless::SceneRunOptions SmallRun(uint32_t seed = 7) {
  headless::SceneRunOptions o;
  o.seed = seed;
  o.width = 160;
  o.height = 120;
  o.Set<&SaverSettings::auto_restart>("0");
  return o;
}

// A full-screen run whose error log goes to `folder`.
struct LoggedRun {
  LoggedRun(const headless::SceneRunOptions& options, const Folder& folder) : run(options) {
    run.platform().exe.folder = folder.path();
  }
  headless::SceneRunner run;
};

}  // namespace sarvel::reliability
