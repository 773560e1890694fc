// The blend kernel and sprite drawing: vector against scalar code, a cached
// sprite against scaling the icon as it is drawn.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_sprite.h"
#include "core/gfx/painter.h"
#include "core/gfx/row_ops.h"
#include "core/gfx/sprite.h"

namespace sarvel::gfx {
namespace {

// A sprite-like row: transparent ends, a soft rim, an opaque middle.
std::vector<Argb> SpriteRow(int n) {
  std::vector<Argb> row(size_t(n), 0);
  for (int i = 0; i < n; ++i) {
    const int edge = std::min(i, n - 1 - i);
    const uint8_t a = edge < 3 ? 0 : edge < 7 ? uint8_t(edge * 36) : 255;
    row[size_t(i)] = a == 0 ? 0 : Premultiply(a, uint8_t(120 + i), 80, 30);
  }
  return row;
}

template <void (*Kernel)(Argb*, const Argb*, int)>
void BlendRows(benchmark::State& state) {
  const int n = int(state.range(0));
  const std::vector<Argb> src = SpriteRow(n);
  std::vector<Argb> dst(size_t(n), Rgb(10, 60, 20));
  for (auto _ : state) {
    Kernel(dst.data(), src.data(), n);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * n);
}
BENCHMARK(BlendRows<detail::BlendRowScalar>)->Name("BlendRow/scalar")->Arg(30)->Arg(256);
#if defined(__SSE2__)
BENCHMARK(BlendRows<detail::BlendRowSse2>)->Name("BlendRow/sse2")->Arg(30)->Arg(256);
#endif

void DrawLeaf29(benchmark::State& state) {
  Surface s(1920, 1080, Rgb(40, 30, 20));
  const auto icon = BenchLeaf();
  std::vector<uint32_t> storage(SpriteWords(29, 29));
  ScaleScratch scratch;
  const Sprite sprite = MakeSprite(*icon, 29, 29, storage.data(), scratch);
  const bool cached = state.range(0) != 0;
  float x = 0;
  for (auto _ : state) {
    if (cached) {
      DrawSprite(s, sprite, x, 500.25f);
    } else {
      DrawIcon(s, *icon, x, 500.25f, 29, 29);
    }
    x = x > 1880 ? 0 : x + 3.5f;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(DrawLeaf29)->ArgName("cached")->Arg(0)->Arg(1);

}  // namespace
}  // namespace sarvel::gfx
