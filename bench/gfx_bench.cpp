// Software renderer timings for the scene's hot paths.
#include <benchmark/benchmark.h>

#include <random>

#include "bench/bench_sprite.h"
#include "core/gfx/painter.h"

namespace sarvel::gfx {
namespace {

std::shared_ptr<Image> Gradient(int w, int h) {
  auto img = std::make_shared<Image>(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) img->set(x, y, Rgb(uint8_t(y * 255 / h), 90, uint8_t(x * 5)));
  }
  img->UpdateOpaque();
  return img;
}

void BM_DrawIcon32To28(benchmark::State& state) {
  Surface s(1920, 1080, Rgb(40, 30, 20));
  const auto icon = BenchLeaf();
  float x = 0;
  for (auto _ : state) {
    DrawIcon(s, *icon, x, 500.25f, 28, 28);
    x = x > 1880 ? 0 : x + 3.5f;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawIcon32To28);

void BM_BlitFullHd(benchmark::State& state) {
  Surface src(1920, 1080, Rgb(1, 2, 3));
  Surface dst(1920, 1080, kBlack);
  for (auto _ : state) {
    Blit(dst, 0, 0, src, src.bounds());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * 1920 * 1080 * 4);
}
BENCHMARK(BM_BlitFullHd);

void BM_StretchGradientStrip(benchmark::State& state) {
  Surface s(1920, 1080, kBlack);
  const auto strip = Gradient(50, 480);
  for (auto _ : state) {
    DrawStretched(s, *strip, {0, 0, 88, 1080});
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StretchGradientStrip);

// One scene frame: restore the background, then 250 leaves of mixed sizes.
void BM_FullFrame250Icons(benchmark::State& state) {
  Surface background(1920, 1080, Rgb(60, 90, 40));
  Surface frame(1920, 1080, kBlack);
  const auto icon = BenchLeaf();
  std::mt19937 rng(1);
  struct Leaf {
    float x, y;
    int w, h;
  };
  std::vector<Leaf> leaves;
  for (int i = 0; i < 250; ++i) {
    const int w = 5 + int(rng() % 45);
    leaves.push_back({float(rng() % 1920) - 20.5f, float(rng() % 1080) - 20.25f, w, w * 7 / 8});
  }
  for (auto _ : state) {
    Blit(frame, 0, 0, background, background.bounds());
    for (const Leaf& l : leaves) DrawIcon(frame, *icon, l.x, l.y, l.w, l.h);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FullFrame250Icons);

}  // namespace
}  // namespace sarvel::gfx
