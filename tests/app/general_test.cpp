#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "app/general.h"
#include "core/base/failure.h"
#include "tests/support/test_app.h"

namespace sarvel {
namespace {

TEST(RandomInt, CoversTheWholeRangeAndNothingElse) {
  DefaultRandom rng(12345);
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) seen.insert(RandomInt(rng, 1, 5));
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5}));
  std::set<int> wide;
  for (int i = 0; i < 5000; ++i) wide.insert(RandomInt(rng, -20, 20));
  EXPECT_EQ(*wide.begin(), -20);
  EXPECT_EQ(*wide.rbegin(), 20);
  EXPECT_EQ(wide.size(), 41u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(RandomInt(rng, 7, 7), 7);
}

TEST(RandomInt, FollowsTheFormulaAtTheEdgesOfR) {
  testing::ScriptedRandom rng{0.0f, 0.99999994f, 0.5f};
  EXPECT_EQ(RandomInt(rng, 141, 190), 141);
  EXPECT_EQ(RandomInt(rng, 141, 190), 190);
  EXPECT_EQ(RandomInt(rng, -3, 6), 2);  // -3 + floor(10 * 0.5)
}

TEST(RandomInt, UnorderedBounds) {
  testing::ScriptedRandom rng;
  for (float r : {0.0f, 0.3f, 0.99f}) {
    rng.Push(r);
    EXPECT_EQ(RandomInt(rng, 9, 8), 9);  // upper = lower - 1: always lower
  }
  // Between upper + 1 and lower; lower itself only for r = 0.
  rng.Push(0.0f);
  EXPECT_EQ(RandomInt(rng, 5, 2), 5);
  rng.Push(0.25f);
  EXPECT_EQ(RandomInt(rng, 5, 2), 4);
  rng.Push(0.75f);
  EXPECT_EQ(RandomInt(rng, 5, 2), 3);
}

TEST(RandomInt, ASpanBeyondSixteenBitsIsAnOverflowAfterTheDraw) {
  testing::ScriptedRandom rng;
  try {
    RandomInt(rng, -32768, 32767);
    ADD_FAILURE();
  } catch (const RuntimeFailure& f) {
    EXPECT_EQ(f.number(), 6);
  }
  EXPECT_EQ(rng.draws, 1);
}

TEST(DefaultRandom, ValuesStayBelowOneAndSeedsReproduce) {
  DefaultRandom a(42), b(42), c(43);
  bool differs = false;
  for (int i = 0; i < 100000; ++i) {
    const float x = a.Next();
    ASSERT_GE(x, 0.0f);
    ASSERT_LT(x, 1.0f);
    ASSERT_EQ(x, b.Next());
    differs |= x != c.Next();
  }
  EXPECT_TRUE(differs);
}

class FileExistsTest : public ::testing::Test {
 protected:
  FileExistsTest() : folder_(testing::MakeTempFolder("exists")), app_(folder_) {}
  ~FileExistsTest() override { testing::RemoveFolder(folder_); }
  bool Exists(const std::string& p) { return app_.app->general.FileExists(p); }
  std::string Path(const std::string& name) {
    return folder_ + app_.platform.files.PathSeparator() + name;
  }

  std::string folder_;
  testing::TestApp app_;
};

TEST_F(FileExistsTest, PlainFilesOnly) {
  std::ofstream(Path("leaf.jpg")) << "x";
  std::ofstream(Path("readonly.bmp")) << "x";
  std::filesystem::permissions(Path("readonly.bmp"), std::filesystem::perms::owner_read);
  std::filesystem::create_directory(Path("folder"));
  std::ofstream(Path(".hidden.gif")) << "x";
  EXPECT_TRUE(Exists(Path("leaf.jpg")));
  EXPECT_TRUE(Exists(Path("readonly.bmp")));
  EXPECT_FALSE(Exists(Path("folder")));
  EXPECT_FALSE(Exists(Path(".hidden.gif")));
  EXPECT_FALSE(Exists(Path("missing.jpg")));
  EXPECT_FALSE(Exists(Path("no/such/folder.jpg")));
}

TEST_F(FileExistsTest, WildcardsTakePartAndEmptiesAreFalseWithoutASearch) {
  std::ofstream(Path("leaf.jpg")) << "x";
  std::filesystem::create_directory(Path("dir.jpg"));
  EXPECT_TRUE(Exists(Path("*.jpg")));
  EXPECT_TRUE(Exists(Path("le?f.*")));
  EXPECT_FALSE(Exists(Path("*.png")));
  EXPECT_FALSE(Exists(Path("dir.j?g")));
  EXPECT_FALSE(Exists(""));
  EXPECT_FALSE(Exists(folder_ + "\\"));
  EXPECT_FALSE(Exists(folder_ + app_.platform.files.PathSeparator()));
}

TEST_F(FileExistsTest, ShutdownUnloadsNewestFirstAndClosesFiles) {
  App& app = *app_.app;
  app.forms.Load(app.config_form());
  app.forms.Load(app.preview_form());
  app.general.Shutdown();
  EXPECT_EQ(app.forms.count(), 0u);
  const auto& log = app_.factory.log;
  const auto pos = [&](const std::string& s) {
    return std::find(log.begin(), log.end(), s) - log.begin();
  };
  EXPECT_LT(pos("unload frmPreview"), pos("unload frmConfig"));
}

TEST_F(FileExistsTest, ShutdownEndsTheProgramWhenAFormRefusesToGo) {
  App& app = *app_.app;
  app_.factory.on_create = [](headless::RecordingForm& f, FormId) {
    f.on_unload = [] { return false; };
  };
  app.forms.Load(app.config_form());
  EXPECT_THROW(app.general.Shutdown(), ProgramEnded);
  EXPECT_EQ(app.forms.count(), 1u);
}

}  // namespace
}  // namespace sarvel
