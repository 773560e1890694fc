// The damage of real frames for the presentation benchmarks: the scene run
// off screen with the default settings, each frame's rectangles kept as the
// composer hands them to a front end.
#pragma once

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/options.h"
#include "core/gfx/rect_merge.h"
#include "core/gfx/surface.h"
#include "frontends/offscreen/scene_runner.h"

namespace sarvel::bench {

struct RecordedFrames {
  gfx::Surface image;  // the window image after the last frame
  std::vector<std::vector<gfx::Rect>> damage;
};

// Frames after a start of a few seconds; none when the scene would not run.
inline RecordedFrames RecordFrames(int w, int h, int frames) {
  headless::SceneRunOptions o;
  o.width = w;
  o.height = h;
  // Every setting as a first run has it, rather than the runner's blue sky
  // without restarts.
  for (const SettingOption& option : kSettingOptions)
    o.stored[std::string(option.key)] = std::string(option.default_text);
  o.advance_clock = true;
  headless::OffscreenSceneRunner run(o);
  RecordedFrames out;
  if (!run.Start() || !run.RunFrames(300)) return out;
  for (int i = 0; i < frames; ++i) {
    const int shown = run.view()->partial_refreshes();
    if (!run.Frame()) return {};
    if (run.view()->partial_refreshes() != shown)
      out.damage.push_back(run.view()->last_refresh_rects());
  }
  out.image = run.WindowImage();
  return out;
}

struct PresentedAmount {
  double rects = 0;   // per frame
  double pixels = 0;  // per frame, overlaps counted twice
};

// What a frame hands the window system after `merger`.
inline PresentedAmount Amount(const RecordedFrames& r, gfx::RectMerger merger) {
  PresentedAmount a;
  for (const auto& frame : r.damage) {
    const auto rects = merger.Merge(frame, r.image.bounds());
    a.rects += double(rects.size());
    for (const gfx::Rect& rect : rects) a.pixels += double(rect.w) * double(rect.h);
  }
  const double n = r.damage.empty() ? 1.0 : double(r.damage.size());
  return {a.rects / n, a.pixels / n};
}

// The CPU time so far of the X server of DISPLAY, in seconds, where it runs
// on this machine (its lock file names its process; /proc counts in
// hundredths); negative where it cannot be read. `root` is where the Linux
// root is seen: "" natively, "Z:" under Wine.
inline double XServerCpuSeconds(const std::string& root) {
  const char* name = std::getenv("DISPLAY");
  if (!name || name[0] != ':') return -1;
  std::ifstream lock(root + "/tmp/.X" + std::string(name + 1, std::strcspn(name + 1, ".")) +
                     "-lock");
  long pid = 0;
  if (!(lock >> pid)) return -1;
  std::ifstream stat(root + "/proc/" + std::to_string(pid) + "/stat");
  std::string field;
  // Fields 14 and 15; the command in field 2 has no spaces for an X server.
  for (int i = 1; i <= 13 && stat >> field; ++i) {
  }
  double user = 0, system = 0;
  if (!(stat >> user >> system)) return -1;
  return (user + system) / 100.0;
}

}  // namespace sarvel::bench
