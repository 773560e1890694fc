// A week of the real scene: full-screen runs with the program's own pictures
// at a small window size, at speed 10 (a frame every 15 ms), with restarts on
// and off, while the window is resized at random. No failure may be
// reported, the error log must stay empty, and the memory in use at the end
// must be what it was once the run had settled.
//
// SARVEL_WEEK_DAYS sets the simulated days per run (make soak: 7); by default
// each run simulates 10 minutes (5 on Windows, 2 in the sanitizer build).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "tests/reliability/reliability_support.h"

#if defined(_WIN32)
#include <malloc.h>
#elif defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace sarvel {
namespace {

// Bytes the process has allocated and not freed.
int64_t BytesInUse() {
#if defined(_WIN32)
  int64_t used = 0;
  _HEAPINFO entry{};
  while (_heapwalk(&entry) == _HEAPOK) {
    if (entry._useflag == _USEDENTRY) used += int64_t(entry._size);
  }
  return used;
#elif defined(__SANITIZE_ADDRESS__)
  return int64_t(__sanitizer_get_current_allocated_bytes());
#else
  const struct mallinfo2 m = mallinfo2();
  return int64_t(m.uordblks + m.hblkhd);
#endif
}

double DaysToRun() {
  if (const char* v = std::getenv("SARVEL_WEEK_DAYS")) return std::atof(v);
#if defined(__SANITIZE_ADDRESS__)
  return 2.0 / 1440;
#elif defined(_WIN32)
  return 5.0 / 1440;  // under Wine in the test suite
#else
  return 10.0 / 1440;
#endif
}

void RunFor(double days, bool restart, uint32_t seed) {
  reliability::Folder folder("week");
  headless::SceneRunOptions o = reliability::SmallRun(seed);
  const std::string picture = folder / "autumn.bmp";
  reliability::WriteFile(picture, reliability::BitmapBytes(64, 48));
  o.Set<&SaverSettings::max_leaf>("10");
  o.Set<&SaverSettings::leaf_speed>("10");
  o.Set<&SaverSettings::background_kind>("6");  // every kind in turn, the picture file included
  o.Set<&SaverSettings::picture_file>(picture);
  o.Set<&SaverSettings::auto_restart>(restart ? "1" : "0");
  o.Set<&SaverSettings::restart_seconds>("60");
  o.advance_clock = true;
  reliability::LoggedRun r(o, folder);
  headless::SceneRunner& run = r.run;
  EXPECT_TRUE(run.Start());
  std::mt19937 random(seed);
  int64_t frames = 0, settled_bytes = 0;
  int restarts = 0, resizes = 0;
  const int64_t total = int64_t(days * 86400.0 * 1000.0 / 15.0);
  const int64_t settle = std::min<int64_t>(total / 10, 20000);
  int32_t last_restart = 0;
  for (frames = 0; frames < total; ++frames) {
    if (!run.Frame()) {
      ADD_FAILURE() << "the run ended after " << frames << " frames";
      break;
    }
    if (run.scene().last_restart != last_restart) {
      last_restart = run.scene().last_restart;
      ++restarts;
    }
    // Now and then the window system resizes the window, and gives it back.
    if (random() % 5000 == 0) {
      const bool back = random() % 2 == 0;
      const int w = back ? o.width : 1 + int(random() % 240);
      const int h = back ? o.height : 1 + int(random() % 180);
      if (!run.ResizeWindow(w, h)) ADD_FAILURE() << "ended on a resize to " << w << " x " << h;
      ++resizes;
    }
    if (frames == settle) {
      run.ResizeWindow(o.width, o.height);
      settled_bytes = BytesInUse();
    }
  }
  run.ResizeWindow(o.width, o.height);
  const int64_t end_bytes = BytesInUse();
  EXPECT_EQ(run.platform().process.beeps, 0);
  EXPECT_EQ(testing::ReadWholeFile(folder / "Sarvel.EPT"), "");  // the log never grew
  std::printf(
      "restart %s: %.3f days, %lld frames, %d restarts, %d resizes; in use once settled "
      "%.2f MB, at the end %.2f MB\n",
      restart ? "on" : "off", days, static_cast<long long>(frames), restarts, resizes,
      settled_bytes / 1048576.0, end_bytes / 1048576.0);
  if (restart) {
    EXPECT_GT(restarts, int(days * 1440) - 2);  // one a minute
  } else {
    EXPECT_EQ(restarts, 0);
  }
  EXPECT_LE(end_bytes, settled_bytes + (1 << 20));
}

TEST(WeekEndurance, MemoryStaysFlatWithRestartsOnAndOff) {
  RunFor(DaysToRun(), true, 1009);
  RunFor(DaysToRun(), false, 2027);
}

}  // namespace
}  // namespace sarvel
