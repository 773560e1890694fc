#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/general.h"
#include "core/base/failure.h"
#include "tests/support/failure_of.h"
#include "tests/support/test_app.h"

namespace sarvel {
namespace {

// The scene's draws (and with them the golden frames) cover RandomInt's
// formula; these are the bounds a scene rarely or never draws with.
TEST(RandomInt, UnorderedBoundsAndASpanBeyondSixteenBits) {
  testing::ScriptedRandom rng{0.0f, 0.99f, 0.0f, 0.25f, 0.75f};
  EXPECT_EQ(RandomInt(rng, 9, 8), 9);  // upper = lower - 1: always lower
  EXPECT_EQ(RandomInt(rng, 9, 8), 9);
  // Between upper + 1 and lower; lower itself only for r = 0.
  EXPECT_EQ(RandomInt(rng, 5, 2), 5);
  EXPECT_EQ(RandomInt(rng, 5, 2), 4);
  EXPECT_EQ(RandomInt(rng, 5, 2), 3);
  EXPECT_EQ(testing::FailureOf([&] { RandomInt(rng, -32768, 32767); }), 6);
  EXPECT_EQ(rng.draws, 6);  // the overflow comes after the draw
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

TEST_F(FileExistsTest, PlainFilesOnlyWildcardsTakePartAndEmptiesAreFalse) {
  std::ofstream(Path("leaf.jpg")) << "x";
  std::ofstream(Path("readonly.bmp")) << "x";
  std::filesystem::permissions(Path("readonly.bmp"), std::filesystem::perms::owner_read);
  std::filesystem::create_directory(Path("dir.jpg"));
  std::ofstream(Path(".hidden.gif")) << "x";
  for (const char* name : {"leaf.jpg", "readonly.bmp", "*.jpg", "le?f.*"})
    EXPECT_TRUE(Exists(Path(name))) << name;
  for (const char* name : {"dir.jpg", "dir.j?g", ".hidden.gif", "*.png", "no/such/folder.jpg"})
    EXPECT_FALSE(Exists(Path(name))) << name;
  EXPECT_FALSE(Exists(""));
  EXPECT_FALSE(Exists(folder_ + "\\"));
  EXPECT_FALSE(Exists(Path("")));
}

// Newest form first; a form that refuses to go ends the program.
TEST_F(FileExistsTest, ShutdownUnloadsNewestFirstOrEndsTheProgram) {
  App& app = *app_.app;
  app.forms.Load(app.config_form());
  app.forms.Load(app.preview_form());
  app.general.Shutdown();
  EXPECT_EQ(app.forms.count(), 0u);
  const auto& log = app_.factory.log;
  EXPECT_LT(std::find(log.begin(), log.end(), "unload frmPreview"),
            std::find(log.begin(), log.end(), "unload frmConfig"));

  app_.factory.on_create = [](headless::RecordingForm& f, FormId) {
    f.on_unload = [] { return false; };
  };
  app.forms.Load(app.info_form());
  EXPECT_THROW(app.general.Shutdown(), ProgramEnded);
  EXPECT_EQ(app.forms.count(), 1u);
}

}  // namespace
}  // namespace sarvel
