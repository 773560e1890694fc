// The services of the platform this build runs on, on the real system.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/base/failure.h"
#include "tests/support/test_app.h"

namespace sarvel {
namespace {

TEST(NativeFiles, AppendingWhereNoFolderIsFails) {
  headless::Platform p;
  const std::string folder = testing::MakeTempFolder("native");
  const char sep = p.files.PathSeparator();
  try {
    p.files.AppendText(folder + sep + "missing" + sep + "x.EPT", "text");
    ADD_FAILURE();
  } catch (const RuntimeFailure& f) {
    EXPECT_TRUE(f.number() == 76 || f.number() == 75) << f.number();
  }
  try {
    p.files.ReadFile(folder + sep + "none.jpg");
    ADD_FAILURE();
  } catch (const RuntimeFailure& f) {
    EXPECT_EQ(f.number(), 53);
  }
  try {
    p.files.ReadFile(folder);
    ADD_FAILURE();
  } catch (const RuntimeFailure& f) {
    EXPECT_EQ(f.number(), 75);
  }
  testing::RemoveFolder(folder);
}

}  // namespace
}  // namespace sarvel
