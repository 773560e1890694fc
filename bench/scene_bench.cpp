// One frame of the real scene, composed and presented into the headless
// window image, with the default sprite count, at three screen sizes. Side by
// side for each size: the damage-tracked renderer with cached sprites
// ("ours"), the full-copy design that scales every sprite as it draws it
// ("full_copy"), and memcpy of one whole frame, the floor a full copy has.
// "4K@2x" is a 4K screen at device scale 2: the 1920 x 1080 scene of the
// 1080p case, drawn into 3840 x 2160 device pixels from the finer art.
// "unseen" is a frame while nobody looks: the rules only. "cold" is the
// damage-tracked frame after the caches have been flushed by other work, as
// in a real run, where 15 ms pass between frames.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "frontends/offscreen/scene_runner.h"

namespace {

using sarvel::Rendering;

// Pushes the frame's data out of the caches: a pass over more memory than
// the last-level cache holds.
void EvictCaches() {
  static std::vector<uint64_t> other(size_t(64) << 17, 1);  // 64 MiB
  uint64_t sum = 0;
  for (size_t i = 0; i < other.size(); i += 8) sum += other[i]++;
  benchmark::DoNotOptimize(sum);
}

void SceneFrame(benchmark::State& state, int w, int h, double scale, Rendering rendering, bool seen,
                bool cold) {
  sarvel::headless::SceneRunOptions o;
  o.seed = 1;
  o.width = w;
  o.height = h;
  o.scale = scale;
  o.Set<&sarvel::SaverSettings::auto_restart>("0");
  o.advance_clock = true;  // the overlay's time changes every second, as it does
  o.rendering = rendering;
  sarvel::headless::OffscreenSceneRunner run(o);
  // Long enough for the sprite sizes in use to have been scaled once.
  if (!run.Start() || !run.RunFrames(300)) {
    state.SkipWithError("the scene did not start");
    return;
  }
  run.view()->set_seen(seen);
  double rects = 0, pixels = 0, touched = 0, restored = 0;
  const auto* view = run.view();
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      EvictCaches();
      state.ResumeTiming();
    }
    const int shown = view->refreshes() + view->partial_refreshes();
    if (!run.Frame()) {
      state.SkipWithError("the run ended");
      break;
    }
    touched += double(run.scene().composer().pixels().total());
    restored += double(run.scene().composer().pixels().restored);
    if (view->refreshes() + view->partial_refreshes() == shown) continue;
    if (view->last_refresh_whole()) {
      rects += 1;
      pixels += double(w) * double(h);
    } else {
      rects += double(view->last_refresh_rects().size());
      for (const auto& r : view->last_refresh_rects()) pixels += double(r.w) * double(r.h);
    }
  }
  state.counters["sprites"] = double(run.app().saver.leaf_count + 1);
  // What each frame presented: rectangles and their pixels (overlaps counted twice).
  state.counters["rects"] = benchmark::Counter(rects, benchmark::Counter::kAvgIterations);
  state.counters["presented_px"] = benchmark::Counter(pixels, benchmark::Counter::kAvgIterations);
  // What each frame wrote: restored, drawn and copied pixels; and of those the restored.
  state.counters["touched_px"] = benchmark::Counter(touched, benchmark::Counter::kAvgIterations);
  state.counters["restored_px"] = benchmark::Counter(restored, benchmark::Counter::kAvgIterations);
}

void MemcpyFrame(benchmark::State& state, int w, int h) {
  const size_t n = size_t(w) * size_t(h);
  std::vector<uint32_t> src(n, 0xFF203040u), dst(n, 0);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), n * sizeof(uint32_t));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(n * sizeof(uint32_t)));
}

const bool registered = [] {
  struct Screen {
    const char* name;
    int w, h;  // device pixels
    double scale;
  };
  for (const Screen s : {Screen{"720p", 1280, 720, 1.0}, Screen{"1080p", 1920, 1080, 1.0},
                         Screen{"4K", 3840, 2160, 1.0}, Screen{"4K@2x", 3840, 2160, 2.0}}) {
    const std::string prefix = std::string("Frame/") + s.name + "/";
    benchmark::RegisterBenchmark((prefix + "ours").c_str(), SceneFrame, s.w, s.h, s.scale,
                                 Rendering{}, true, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((prefix + "full_copy").c_str(), SceneFrame, s.w, s.h, s.scale,
                                 Rendering{.track_damage = false, .cache_sprites = false}, true,
                                 false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((prefix + "memcpy").c_str(), MemcpyFrame, s.w, s.h)
        ->Unit(benchmark::kMillisecond);
  }
  for (const Screen s : {Screen{"1080p", 1920, 1080, 1.0}, Screen{"4K", 3840, 2160, 1.0},
                         Screen{"4K@2x", 3840, 2160, 2.0}}) {
    benchmark::RegisterBenchmark((std::string("Frame/") + s.name + "/cold").c_str(), SceneFrame,
                                 s.w, s.h, s.scale, Rendering{}, true, true)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("Frame/1080p/unseen", SceneFrame, 1920, 1080, 1.0, Rendering{},
                               false, false)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
