// The idle watcher's rules against a scripted idle monitor and saver: the
// saver starts once the idle watch fires, never beside a running one, and
// again only after the user came back and went idle again.
#include "frontends/gnome/idle_watch.h"

#include <gtest/gtest.h>

#include <set>

namespace sarvel::gnome {
namespace {

class ScriptedMonitor : public IdleMonitor {
 public:
  uint32_t AddIdleWatch(uint64_t interval_ms) override {
    last_interval_ms = interval_ms;
    return idle = Add();
  }
  uint32_t AddUserActiveWatch() override { return active = Add(); }
  void RemoveWatch(uint32_t id) override {
    EXPECT_EQ(live.erase(id), 1u) << "removed a watch that is not there: " << id;
  }
  // What the compositor does when the user is idle long enough, or back.
  void IdleFor() { ASSERT_TRUE(watch->OnWatchFired(idle)); }
  void UserActive() {
    ASSERT_EQ(live.erase(active), 1u);  // such a watch fires once and is gone
    ASSERT_TRUE(watch->OnWatchFired(active));
  }
  std::set<uint32_t> live;
  uint32_t idle = 0, active = 0, next = 7;
  uint64_t last_interval_ms = 0;
  bool refuse = false;
  IdleWatch* watch = nullptr;

 private:
  uint32_t Add() {
    if (refuse) return 0;
    live.insert(next);
    return next++;
  }
};

class ScriptedSaver : public SaverProcess {
 public:
  bool Start() override {
    ++starts;
    running = true;
    return true;
  }
  bool Running() const override { return running; }
  void Stop() override { running = false; }
  int starts = 0;
  bool running = false;
};

class IdleWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    monitor_.watch = &watch_;
    ASSERT_TRUE(watch_.Begin());
  }
  ScriptedMonitor monitor_;
  ScriptedSaver saver_;
  IdleWatch watch_{monitor_, saver_, 3000};
};

TEST_F(IdleWatchTest, StartsOnceAndAgainOnlyAfterTheUserCameBack) {
  EXPECT_EQ(monitor_.last_interval_ms, 3000u);
  EXPECT_EQ(saver_.starts, 0);
  EXPECT_TRUE(watch_.OnWatchFired(12345));  // another client's watch
  EXPECT_EQ(saver_.starts, 0);

  monitor_.IdleFor();
  EXPECT_EQ(saver_.starts, 1);
  EXPECT_EQ(monitor_.live, std::set<uint32_t>{monitor_.active});  // waits for input only

  // A touch the saver ignores: idle again while it still runs.
  monitor_.UserActive();
  monitor_.IdleFor();
  EXPECT_EQ(saver_.starts, 1);

  // The saver ends (by input, or it failed): no new start until the user
  // has come back and gone idle again.
  saver_.running = false;
  monitor_.UserActive();
  EXPECT_EQ(saver_.starts, 1);
  monitor_.IdleFor();
  EXPECT_EQ(saver_.starts, 2);
  EXPECT_EQ(monitor_.last_interval_ms, 3000u);
}

TEST_F(IdleWatchTest, EndingRemovesTheWatchesAndEndsTheSaver) {
  monitor_.IdleFor();
  ASSERT_TRUE(saver_.running);
  watch_.End();
  EXPECT_FALSE(saver_.running);
  EXPECT_TRUE(monitor_.live.empty());

  // A monitor that refuses the next watch is reported.
  ScriptedMonitor refusing;
  IdleWatch other(refusing, saver_, 1000);
  refusing.refuse = true;
  EXPECT_FALSE(other.Begin());
}

}  // namespace
}  // namespace sarvel::gnome
