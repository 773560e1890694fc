// The X11 presenter putting real frames' damage into a full-screen window on
// DISPLAY, through shared memory as the saver does: each rectangle in a
// request of its own ("per_rect", the way of old), against the rectangles
// merged at several allowances of extra pixels per merge ("merged/N", one
// request each; the presenter uses the default allowance). The time is the wall time per frame, the
// server's work included (the presenter waits until the server has read the shared image);
// server_cpu_us is the server's own CPU time per frame.
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/recorded_frames.h"
#include "frontends/x11/presenter.h"
#include "frontends/x11/x11_display.h"

namespace {

using sarvel::bench::RecordedFrames;

std::unique_ptr<sarvel::x11::Display> display;
RecordedFrames frames;

void PresentFrames(benchmark::State& state, sarvel::gfx::RectMerger merger) {
  ::Display* x = display->xdisplay();
  const int w = frames.image.width(), h = frames.image.height();
  XSetWindowAttributes a{};
  a.override_redirect = True;
  const Window window =
      XCreateWindow(x, display->root(), 0, 0, unsigned(w), unsigned(h), 0, CopyFromParent,
                    InputOutput, CopyFromParent, CWOverrideRedirect, &a);
  XMapRaised(x, window);
  XSync(x, False);
  {
    sarvel::gfx::Surface image = frames.image;
    sarvel::x11::Presenter presenter(*display, window);
    presenter.MergeWith(merger);
    presenter.Share(image);
    presenter.PutAll(image);
    size_t next = 0;
    XSync(x, False);
    const double server_start = sarvel::bench::XServerCpuSeconds("");
    for (auto _ : state) {
      presenter.Put(image, frames.damage[next]);
      next = (next + 1) % frames.damage.size();
    }
    XSync(x, False);
    if (server_start >= 0) {
      // The server's own work per frame, whatever else runs on the machine.
      state.counters["server_cpu_us"] =
          benchmark::Counter((sarvel::bench::XServerCpuSeconds("") - server_start) * 1e6,
                             benchmark::Counter::kAvgIterations);
    }
    const auto amount = sarvel::bench::Amount(frames, merger);
    state.counters["requests"] = amount.rects;
    state.counters["presented_px"] = amount.pixels;
    state.counters["shm"] = presenter.using_shm() ? 1 : 0;
  }
  XDestroyWindow(x, window);
  XSync(x, False);
}

}  // namespace

// Without a display there is nothing to measure: that is a failure, not a
// quiet pass.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  display = sarvel::x11::Display::Open();
  if (!display) {
    std::fprintf(stderr, "needs an X display: DISPLAY=%s not reachable\n",
                 std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(unset)");
    return 1;
  }
  ::Display* x = display->xdisplay();
  const int screen = DefaultScreen(x);
  frames = sarvel::bench::RecordFrames(DisplayWidth(x, screen), DisplayHeight(x, screen), 200);
  if (frames.damage.empty()) {
    std::fprintf(stderr, "the scene did not run\n");
    return 1;
  }
  benchmark::RegisterBenchmark("Present/X11/per_rect", PresentFrames,
                               sarvel::gfx::RectMerger::Unmerged())
      ->Unit(benchmark::kMicrosecond)
      ->UseRealTime();
  for (int64_t allowance : {int64_t(256), int64_t(1024), int64_t(4096), int64_t(16384)}) {
    benchmark::RegisterBenchmark(("Present/X11/merged/" + std::to_string(allowance)).c_str(),
                                 PresentFrames, sarvel::gfx::RectMerger(allowance))
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
