// Once warm, the frame loop allocates nothing: this program replaces the
// global allocation functions with counting ones and runs the real scene
// headless for many frames, with the overlay's clock moving, settling,
// maturing and the ground rising.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/support/scene_run.h"

namespace {

std::atomic<long long> g_allocations{0};

void* Allocate(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t n, std::align_val_t al) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  const std::size_t a = std::max(std::size_t(al), sizeof(void*));
  // Over-allocate and keep the block's own address just before the result,
  // which works with every C runtime.
  void* raw = std::malloc(n + a + sizeof(void*));
  if (!raw) throw std::bad_alloc();
  const std::uintptr_t at =
      (reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*) + a - 1) & ~(a - 1);
  reinterpret_cast<void**>(at)[-1] = raw;
  return reinterpret_cast<void*>(at);
}

void FreeAligned(void* p) {
  if (p) std::free(static_cast<void**>(p)[-1]);
}

}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return Allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void* operator new(std::size_t n, std::align_val_t a) { return AllocateAligned(n, a); }
void* operator new[](std::size_t n, std::align_val_t a) { return AllocateAligned(n, a); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete[](void* p, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { FreeAligned(p); }

namespace sarvel {
namespace {

long long Allocations() { return g_allocations.load(std::memory_order_relaxed); }

TEST(FrameLoop, TheCounterSeesAllocations) {
  const long long before = Allocations();
  auto* p = new int(3);
  delete p;
  std::string s(100, 'x');
  EXPECT_EQ(Allocations() - before, 2);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr int kFrames = 600;
#else
constexpr int kFrames = 2500;
#endif

// A fast scene, so that mushrooms grow through their sizes and mature, run
// until warm: every surface and list at its size.
void WarmUp(headless::SceneRunner& run) {
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.RunFrames(300));
}

headless::SceneRunOptions Fast(headless::SceneRunOptions o) {
  o.advance_clock = true;
  o.Set<&SaverSettings::leaf_speed>("20");
  return o;
}

TEST(FrameLoop, AllocatesNothingOnceWarm) {
  headless::SceneRunOptions o = Fast({.seed = 31, .width = 800, .height = 600});
  o.Set<&SaverSettings::background_kind>("3");
  headless::SceneRunner run(o);
  ASSERT_NO_FATAL_FAILURE(WarmUp(run));
  const long long before = Allocations();
  ASSERT_TRUE(run.RunFrames(2 * kFrames));
  EXPECT_EQ(Allocations() - before, 0) << "allocations in " << 2 * kFrames << " frames";
  EXPECT_EQ(run.platform().process.beeps, 0);
}

// At a device scale the same: the sprites kept at their device sizes, the
// finer art loaded at the layout; and while nobody looks and when looked at
// again.
TEST(FrameLoop, AllocatesNothingOnceWarmAtDeviceScale2SeenOrNot) {
  headless::SceneRunner run(Fast({.seed = 31, .width = 1280, .height = 960, .scale = 2.0}));
  ASSERT_NO_FATAL_FAILURE(WarmUp(run));
  const long long before = Allocations();
  ASSERT_TRUE(run.RunFrames(kFrames));
  for (int i = 0; i < 20; ++i) {
    run.view()->set_seen(i % 2 == 1);
    ASSERT_TRUE(run.RunFrames(40));
  }
  EXPECT_EQ(Allocations() - before, 0);
  EXPECT_EQ(run.platform().process.beeps, 0);
}

}  // namespace
}  // namespace sarvel
