// Shared by the fuzz targets: a private folder for the error log of the
// program under test, and a check that stops the run with the input saved.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/test_app.h"

namespace sarvel::fuzzing {

// One folder per fuzzing process, removed at exit.
inline const std::string& LogFolder() {
  static const std::string folder = [] {
    std::string f = testing::MakeTempFolder("fuzz");
    static std::string for_exit = f;
    std::atexit([] { testing::RemoveFolder(for_exit); });
    return f;
  }();
  return folder;
}

inline std::string LogPath() { return LogFolder() + "/Sarvel.EPT"; }

// The log as the last run left it; the file is removed for the next run.
inline std::string TakeLog() {
  std::string log = testing::ReadWholeFile(LogPath());
  std::remove(LogPath().c_str());
  return log;
}

inline int Protocols(const std::string& log) {
  return testing::CountOccurrences(log, "F E H L E R");
}

// libFuzzer treats an abort as a crash and keeps the input.
#define FUZZ_CHECK(cond)                                                             \
  do {                                                                               \
    if (!(cond)) {                                                                   \
      std::fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)

}  // namespace sarvel::fuzzing
