// The Wayland client layer's bookkeeping without a compositor: the outputs
// and the clients that live for them (sway cannot unplug an output), the
// outputs as the scene's monitors, and the choice of buffer with the damage
// each has missed.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "frontends/wayland/buffer_chain.h"
#include "frontends/wayland/output_list.h"
#include "frontends/wayland/screens.h"

namespace sarvel::wayland {
namespace {

// ---- Outputs

// What the clients saw: made with (name, scale), changed, gone.
using Log = std::vector<std::string>;

class RecordingClient : public OutputClient {
 public:
  RecordingClient(Log& log, const OutputInfo& info) : log_(log), name_(info.name) {
    log_.push_back("made " + info.name + " " + std::to_string(info.width) + "x" +
                   std::to_string(info.height) + "@" + std::to_string(info.scale));
  }
  ~RecordingClient() override { log_.push_back("gone " + name_); }
  void OnOutputChanged(const OutputInfo& info) override {
    log_.push_back("changed " + info.name + "@" + std::to_string(info.scale));
  }

 private:
  Log& log_;
  std::string name_;
};

wl_output* FakeProxy(uintptr_t n) { return reinterpret_cast<wl_output*>(n * 16); }

void Describe(OutputList& list, uint32_t id, const std::string& name, int scale) {
  list.Add(id, FakeProxy(id));
  list.SetName(id, name);
  list.SetMode(id, 640, 480);
  list.SetScale(id, scale);
}

OutputList::Factory Recording(Log& log) {
  return [&log](const OutputInfo& info) { return std::make_unique<RecordingClient>(log, info); };
}

TEST(OutputList, AClientLivesFromTheFirstDoneUntilTheOutputGoes) {
  Log log;
  OutputList list;
  list.SetFactory(Recording(log));
  Describe(list, 7, "A", 2);
  EXPECT_TRUE(log.empty()) << "no client before the output is done";
  list.Done(7);
  list.SetScale(7, 1);
  list.Done(7);
  // Events of an output that is not (or no longer) there change nothing.
  list.SetMode(99, 1, 1);
  list.Done(99);
  EXPECT_EQ(list.Find(FakeProxy(7))->id, 7u);
  // The client goes while the proxy is still there; the proxy is returned
  // for release once, and only for an output.
  EXPECT_EQ(list.Remove(7), FakeProxy(7));
  EXPECT_EQ(list.Remove(7), nullptr);
  EXPECT_EQ(list.Remove(99), nullptr);
  EXPECT_EQ(list.Find(7u), nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"made A 640x480@2", "changed A@1", "gone A"}));
}

TEST(OutputList, AClosedSurfaceTakesItsClientAtTheSweepAndNoOtherComes) {
  Log log;
  OutputList list;
  Describe(list, 3, "B", 1);
  list.Done(3);
  Describe(list, 4, "C", 1);
  list.Done(4);
  // Outputs ready before the factory get their clients when it comes.
  list.SetFactory(Recording(log));
  list.Close(3);
  EXPECT_NE(list.ClientOf(3), nullptr) << "the client's own handler may still be running";
  list.Sweep();
  EXPECT_EQ(list.ClientOf(3), nullptr);
  list.Done(3);
  EXPECT_EQ(list.ClientOf(3), nullptr) << "a closed output gets no new client";
  EXPECT_EQ(list.Remove(3), FakeProxy(3));
  EXPECT_EQ(list.Clear(), std::vector<wl_output*>{FakeProxy(4)});
  EXPECT_EQ(log,
            (std::vector<std::string>{"made B 640x480@1", "made C 640x480@1", "gone B", "gone C"}));
}

// ---- The outputs as monitors

struct Watching : ScreenClient {
  void OnOutputChanged(wl_output*) override {}
  void OnOutputGone(wl_output* output) override { gone.push_back(output); }
  void DeliverPending() override {}
  void OnMonitorsChanged() override { ++changes; }
  std::vector<wl_output*> gone;
  int changes = 0;
};

TEST(Screens, MonitorsFollowTheOutputsThatComeCloseAndGo) {
  OutputList list;
  Screens screens(list);
  Watching w;
  screens.Add(&w);
  screens.set_watcher(&w);
  Describe(list, 1, "A", 1);
  list.Done(1);
  Describe(list, 2, "B", 2);
  list.Done(2);
  Describe(list, 3, "C", 1);  // not done: no monitor yet
  using Rects = std::vector<gfx::Rect>;
  EXPECT_EQ(screens.Monitors(), (Rects{{0, 0, 640, 480}, {640, 0, 320, 240}}));
  EXPECT_EQ(screens.OutputAt({640, 0, 320, 240}), FakeProxy(2));
  EXPECT_EQ(screens.OutputAt({0, 0, 320, 240}), nullptr);
  screens.DeliverPending();
  EXPECT_EQ(w.changes, 1) << "told once, between events";
  // The primary goes, its surface with it; the next output is the primary.
  list.Remove(1);
  EXPECT_EQ(w.gone, std::vector{FakeProxy(1)});
  EXPECT_EQ(screens.Primary(), FakeProxy(2));
  EXPECT_EQ(screens.Monitors(), (Rects{{0, 0, 320, 240}}));
  // A closed surface takes its output out of the run at the next sweep.
  list.Close(2);
  list.Sweep();
  EXPECT_EQ(w.gone.back(), FakeProxy(2));
  EXPECT_TRUE(screens.Monitors().empty());
  EXPECT_EQ(screens.Primary(), nullptr);
  screens.DeliverPending();
  EXPECT_EQ(w.changes, 2);
}

// ---- Buffers

using Rects = std::vector<gfx::Rect>;
Rects Of(std::span<const gfx::Rect> s) { return Rects(s.begin(), s.end()); }

constexpr gfx::Rect kAll{0, 0, 100, 80};
constexpr gfx::Rect kA{10, 10, 5, 5};
constexpr gfx::Rect kB{50, 20, 8, 4};

TEST(BufferChain, HeldBuffersAreNotDrawnIntoAndEachGetsEveryChangeItMissed) {
  BufferChain chain;
  chain.Reset(kAll);
  EXPECT_EQ(Of(chain.SurfaceDamage()), Rects{kAll});
  const int x = chain.Acquire();
  EXPECT_EQ(Of(chain.Missing(x)), Rects{kAll}) << "new buffers get the whole image";
  chain.Committed(x);
  const int y = 1 - x;
  chain.Copied(y);
  EXPECT_FALSE(chain.HasDamage());

  // Frame A goes into y while x is held.
  chain.Damage(Rects{kA, {200, 200, 5, 5}});
  ASSERT_EQ(chain.Acquire(), y);
  EXPECT_EQ(Of(chain.Missing(y)), Rects{kA}) << "clipped to the image";
  chain.Committed(y);
  chain.Released(x);

  // Frame B goes into x, which was on screen before A: it needs A too; the
  // compositor is told of B alone.
  chain.Damage(Rects{kB});
  ASSERT_EQ(chain.Acquire(), x);
  EXPECT_EQ(Of(chain.Missing(x)), (Rects{kA, kB}));
  EXPECT_EQ(Of(chain.SurfaceDamage()), Rects{kB});
  chain.Committed(x);

  // Frames not shown while both are held carry their damage to the next.
  chain.Damage(Rects{kA});
  chain.Damage(Rects{kB});
  EXPECT_EQ(chain.Acquire(), -1);
  EXPECT_EQ(Of(chain.SurfaceDamage()), (Rects{kA, kB}));
  chain.Released(y);
  EXPECT_EQ(Of(chain.Missing(y)), (Rects{kB, kA, kB}));
}

TEST(BufferChain, ABufferThatMissesFramesForLongGetsTheirBoundingBox) {
  BufferChain chain;
  chain.Reset(kAll);
  chain.Committed(0);
  chain.Committed(1);
  for (int i = 0; i < 257; ++i) chain.Damage(Rects{{i % 90, i % 70, 2, 2}});
  EXPECT_EQ(Of(chain.Missing(0)), (Rects{{0, 0, 91, 71}}));
}

}  // namespace
}  // namespace sarvel::wayland
