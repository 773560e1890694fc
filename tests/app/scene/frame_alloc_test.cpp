// Once warm, the frame loop allocates nothing: this program replaces the
// global allocation functions with counting ones and runs the real scene
// headless for many frames, with the overlay's clock moving, settling,
// maturing and the ground rising.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
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

TEST(FrameLoop, AllocatesNothingOnceWarm) {
  // Fast, so that mushrooms grow through their sizes and mature.
  headless::SceneRunOptions o{.seed = 31, .width = 800, .height = 600, .advance_clock = true};
  o.Set<&SaverSettings::leaf_speed>("20");
  o.Set<&SaverSettings::background_kind>("3");
  headless::SceneRunner run(o);
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.RunFrames(300));  // warm: every surface and list at its size
  const long long before = Allocations();
#if defined(__SANITIZE_ADDRESS__)
  const int frames = 1500;
#else
  const int frames = 6000;
#endif
  ASSERT_TRUE(run.RunFrames(frames));
  const long long allocated = Allocations() - before;
  EXPECT_EQ(allocated, 0) << "allocations in " << frames << " frames";
  EXPECT_EQ(run.platform().process.beeps, 0);
  std::printf("%d frames, %lld allocations, %d sprites scaled\n", frames, allocated,
              run.scene().sprites().built());
}

// At a device scale the same: the sprites kept at their device sizes, the
// finer art loaded at the layout.
TEST(FrameLoop, AllocatesNothingOnceWarmAtDeviceScale2) {
  headless::SceneRunOptions o{
      .seed = 31, .width = 1280, .height = 960, .scale = 2.0, .advance_clock = true};
  o.Set<&SaverSettings::leaf_speed>("20");
  headless::SceneRunner run(o);
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.RunFrames(300));
  const long long before = Allocations();
#if defined(__SANITIZE_ADDRESS__)
  const int frames = 600;
#else
  const int frames = 2500;
#endif
  ASSERT_TRUE(run.RunFrames(frames));
  EXPECT_EQ(Allocations() - before, 0) << "allocations in " << frames << " frames";
  EXPECT_EQ(run.platform().process.beeps, 0);
}

TEST(FrameLoop, NothingEitherWhileNobodyLooksAndWhenLookedAtAgain) {
  headless::SceneRunOptions o{.seed = 32, .width = 640, .height = 480, .advance_clock = true};
  headless::SceneRunner run(o);
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.RunFrames(300));
  const long long before = Allocations();
  for (int i = 0; i < 20; ++i) {
    run.view()->set_seen(i % 2 == 1);
    ASSERT_TRUE(run.RunFrames(40));
  }
  EXPECT_EQ(Allocations() - before, 0);
}

}  // namespace
}  // namespace sarvel
