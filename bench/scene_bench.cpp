// One frame of the real scene (compose + copy to the window image) at screen
// sizes, with the default sprite count.
#include <benchmark/benchmark.h>

#include "platform/headless/scene_runner.h"

namespace {

void BM_SceneFrame(benchmark::State& state) {
  sarvel::headless::SceneRunOptions o;
  o.seed = 1;
  o.width = int(state.range(0));
  o.height = int(state.range(1));
  o.restart = "0";
  sarvel::headless::SceneRunner run(o);
  if (!run.Start() || !run.RunFrames(30)) {
    state.SkipWithError("the scene did not start");
    return;
  }
  for (auto _ : state) {
    if (!run.Frame()) {
      state.SkipWithError("the run ended");
      break;
    }
  }
  state.counters["sprites"] = double(run.app().saver.LeafCount + 1);
}

}  // namespace

BENCHMARK(BM_SceneFrame)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
