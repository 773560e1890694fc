// The user's picture, as the user or the system could really leave it: an
// empty path, a folder, a missing file, a file that is no picture, a cut-off
// one, a path with non-ASCII characters; and the picture deleted during a
// run. A picture that cannot be painted ends a full-screen run with exactly
// one protocol; the stored choice is never touched, so the picture shows
// again once it is back. (What the decoder refuses, and how early, is
// proved on the decoder itself.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/reliability/reliability_support.h"

namespace sarvel {
namespace {

namespace fs = std::filesystem;
using reliability::BitmapBytes;
using reliability::Folder;
using reliability::WriteFile;

fs::path Utf8Path(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }
std::string Utf8(const fs::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

constexpr uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kBlack = 0xFF000000u;

// Pixels of the background's top row, above the ground and its leaves,
// that have exactly `colour`.
int TopRowPixels(headless::SceneRunner& run, uint32_t colour, int from, int to) {
  int n = 0;
  for (int x = from; x < to; ++x) n += run.scene().background.at(x, 0) == colour;
  return n;
}

struct PictureRun {
  PictureRun(const Folder& folder, const std::string& path) : r(Options(path), folder) {}
  static headless::SceneRunOptions Options(const std::string& path) {
    headless::SceneRunOptions o = reliability::SmallRun();
    o.Set<&SaverSettings::background_kind>("5");
    o.Set<&SaverSettings::picture_file>(path);
    return o;
  }
  headless::SceneRunner& run() { return r.run; }
  reliability::LoggedRun r;
};

TEST(BadPictures, APictureThatCannotBePaintedEndsTheRunWithOneProtocol) {
  Folder folder("bad-pictures");
  fs::create_directories(folder / "a folder.bmp");
  WriteFile(folder / "notes.bmp", "These are my notes, not a picture.\r\n");
  WriteFile(folder / "cut.bmp", BitmapBytes(64, 48).substr(0, 2000));
  struct Row {
    std::string path;
    const char* error;
  } rows[] = {
      {folder / "a folder.bmp", "75 (Path/File access error)"},
      {folder / "missing.jpg", "53 (File not found)"},
      {folder / "notes.bmp", "481 (Invalid picture)"},
      {folder / "cut.bmp", "481 (Invalid picture)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    std::remove((folder / "Sarvel.EPT").c_str());
    PictureRun p(folder, row.path);
    EXPECT_FALSE(p.run().Start());
    EXPECT_TRUE(p.run().ended());
    EXPECT_EQ(folder.Protocols(), 1);
    const std::string log = folder.Log();
    EXPECT_NE(log.find(std::string("error :\t") + row.error + "\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("procedure:\tHintergrund\r\n"), std::string::npos);
    EXPECT_EQ(p.run().platform().system.cursor_count, 0);  // the system state is restored
    EXPECT_FALSE(p.run().platform().system.screensaver_running);
    EXPECT_TRUE(p.run().platform().store.writes.empty());
  }
}

// No picture paints black; one of another size, under a path with non-ASCII
// characters, is stretched to the window: red on the left half, blue on the
// right.
TEST(BadPictures, AnEmptyPathPaintsBlackAndANonAsciiPathItsPicture) {
  Folder folder("picture-names");
  const fs::path dir = Utf8Path(folder / "B\xc3\xa4ume \xe2\x80\x93 \xe7\xa7\x8b");
  fs::create_directories(dir);
  const fs::path file = dir / Utf8Path("Herbst \xc3\xa9t\xc3\xa9.bmp");
  WriteFile(file, BitmapBytes(64, 48));
  for (const std::string& path : {std::string(), Utf8(file)}) {
    SCOPED_TRACE(path);
    PictureRun p(folder, path);
    ASSERT_TRUE(p.run().Start());
    EXPECT_TRUE(p.run().RunFrames(50));
    EXPECT_EQ(TopRowPixels(p.run(), path.empty() ? kBlack : kRed, 0, 70), 70);
    EXPECT_EQ(TopRowPixels(p.run(), path.empty() ? kBlack : kBlue, 90, 160), 70);
  }
  EXPECT_EQ(folder.Protocols(), 0);
}

TEST(BadPictures, DeletedDuringARunEndsItAtTheNextRestart) {
  Folder folder("vanishing-picture");
  const std::string picture = folder / "autumn.bmp";
  WriteFile(picture, BitmapBytes(64, 48));
  headless::SceneRunOptions o = PictureRun::Options(picture);
  o.Set<&SaverSettings::auto_restart>("1");
  o.Set<&SaverSettings::restart_seconds>("2");
  reliability::LoggedRun r(o, folder);
  ASSERT_TRUE(r.run.Start());
  ASSERT_TRUE(r.run.RunFrames(100));  // 1.5 s of frames
  fs::remove(picture);
  int frames = 0;
  while (r.run.Frame()) ++frames;
  EXPECT_GT(frames, 25);  // ran on until the two seconds were up
  EXPECT_LT(frames, 40);
  EXPECT_EQ(folder.Protocols(), 1);
  EXPECT_EQ(r.run.platform().system.cursor_count, 0);
}

}  // namespace
}  // namespace sarvel
