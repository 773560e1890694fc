// Checks of the art generator: the constraints the screen saver relies on,
// that two runs produce the same bytes and that they are the committed files
// (which any change of the encoders or the rasteriser shows), and what the
// committed art does not exercise: a bitmap row that needs padding, and
// contours with broken coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>

#include "artset.h"
#include "codecs.h"
#include "font.h"
#include "fungus.h"
#include "icons.h"
#include "leaf_shapes.h"
#include "raster.h"
#include "rng.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#endif
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace artgen {
namespace {

Image randomImage(int w, int h, uint64_t seed) {
  Rng rng(seed);
  Image img(w, h);
  for (uint8_t& v : img.px) v = static_cast<uint8_t>(rng.next() & 255);
  return img;
}

struct StbImage {
  int w = 0, h = 0;
  std::vector<uint8_t> px;
};

StbImage stbDecode(const Bytes& data, int channels) {
  StbImage out;
  int n = 0;
  uint8_t* p = stbi_load_from_memory(data.data(), static_cast<int>(data.size()), &out.w, &out.h, &n,
                                     channels);
  if (p) {
    out.px.assign(p, p + static_cast<size_t>(out.w) * out.h * channels);
    stbi_image_free(p);
  }
  return out;
}

uint32_t le32(const Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST(Codecs, Bmp24RoundTripsThroughStbAndOurReaderWithRowPadding) {
  Image img = randomImage(13, 7, 6);
  Bytes bmp = encodeBmp24(img);
  EXPECT_EQ(bmp.size(), 54u + 40u * 7u);  // 13*3 = 39 bytes padded to 40
  StbImage dec = stbDecode(bmp, 3);
  ASSERT_EQ(dec.w, 13);
  ASSERT_EQ(dec.h, 7);
  auto own = decodeBmp(bmp);
  ASSERT_TRUE(own.has_value());
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x)
      for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(dec.px[(static_cast<size_t>(y) * 13 + x) * 3 + c], img.at(x, y)[c]);
        ASSERT_EQ(own->image.at(x, y)[c], img.at(x, y)[c]);
      }
}

TEST(Raster, BrokenCoordinatesAreSkippedNotDrawn) {
  Mask m(16, 16);
  Contour c = rectContour(2, 2, 10, 10);
  c.insert(c.begin() + 2, Vec2{std::nanf(""), 3.0f});
  fillContour(m, c);
  EXPECT_GT(m.sum(), 40.0f);
  EXPECT_LE(m.sum(), 64.5f);
}

class ArtFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { art_ = new ArtSet(buildArt()); }
  static void TearDownTestSuite() {
    delete art_;
    art_ = nullptr;
  }
  static const Bytes& file(const std::string& name) { return art_->files.at(name); }
  static ArtSet* art_;
};
ArtSet* ArtFiles::art_ = nullptr;

TEST_F(ArtFiles, HasExactlyTheExpectedFiles) {
  std::set<std::string> expected = {"gradient_102.bmp", "gradient_103.bmp", "app.ico",
                                    "about_disk.bmp",   "emblem.ico",       "globe.ico",
                                    "smile.ico"};
  for (int id = 141; id <= 190; ++id) expected.insert("leaf_" + std::to_string(id) + ".ico");
  for (int id = 101; id <= 140; ++id) expected.insert("mushroom_" + std::to_string(id) + ".ico");
  std::set<std::string> actual;
  for (const auto& kv : art_->files) actual.insert(kv.first);
  EXPECT_EQ(actual, expected);
}

TEST_F(ArtFiles, GradientsHaveExactEndsAndStepSmoothly) {
  struct Case {
    const char* name;
    std::array<uint8_t, 3> top, bottom;
  };
  for (const Case& c : {Case{"gradient_102.bmp", {119, 172, 252}, {4, 5, 7}},
                        Case{"gradient_103.bmp", {8, 0, 4}, {171, 101, 4}}}) {
    SCOPED_TRACE(c.name);
    auto bmp = decodeBmp(file(c.name));
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(bmp->bitCount, 4);
    EXPECT_EQ(bmp->colorsUsed, 16);
    EXPECT_EQ(bmp->palette.size(), 16u);
    ASSERT_EQ(bmp->image.w, 50);
    ASSERT_EQ(bmp->image.h, 480);
    for (int x = 0; x < 50; ++x) {
      for (int ch = 0; ch < 3; ++ch) {
        EXPECT_EQ(bmp->image.at(x, 0)[ch], c.top[static_cast<size_t>(ch)]);
        EXPECT_EQ(bmp->image.at(x, 479)[ch], c.bottom[static_cast<size_t>(ch)]);
      }
    }
    std::vector<float> mean(480, 0.0f);
    for (int y = 0; y < 480; ++y) {
      int lo = 99, hi = -1;
      for (int x = 0; x < 50; ++x) {
        int v = bmp->indices[static_cast<size_t>(y) * 50 + x];
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        mean[static_cast<size_t>(y)] += static_cast<float>(v) / 50.0f;
      }
      EXPECT_LE(hi - lo, 1) << "row " << y << " mixes shades that are not neighbours";
      // The dithered shade follows the ideal ramp closely.
      EXPECT_NEAR(mean[static_cast<size_t>(y)], static_cast<float>(y) * 15.0f / 479.0f, 0.3f)
          << "row " << y;
      if (y >= 4) {
        EXPECT_GE(mean[static_cast<size_t>(y)] + 1e-4f, mean[static_cast<size_t>(y - 4)])
            << "row " << y;
      }
    }
  }
}

TEST_F(ArtFiles, SpritesAre32x32WithAlphaMasksAndReadableCoverage) {
  std::set<uint64_t> distinct;
  for (const auto& [name, bytes] : art_->files) {
    bool leaf = name.rfind("leaf_", 0) == 0;
    bool mushroom = name.rfind("mushroom_", 0) == 0;
    if (!leaf && !mushroom) continue;
    SCOPED_TRACE(name);
    auto entries = decodeIco(bytes);
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 3u);
    const IcoEntry& e = entries->front();
    EXPECT_FALSE(e.png);
    ASSERT_EQ(e.image.w, 32);
    ASSERT_EQ(e.image.h, 32);
    int x0 = 32, y0 = 32, x1 = -1, y1 = -1, opaque = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        uint8_t a = e.image.at(x, y)[3];
        ASSERT_EQ(e.andMask[static_cast<size_t>(y) * 32 + x], a == 0 ? 1 : 0);
        if (a > 128) {
          ++opaque;
          x0 = std::min(x0, x);
          y0 = std::min(y0, y);
          x1 = std::max(x1, x);
          y1 = std::max(y1, y);
        }
      }
    EXPECT_GE(std::max(x1 - x0, y1 - y0) + 1, 27) << "does not fill the square";
    EXPECT_GE(opaque, 150);
    if (mushroom) {
      EXPECT_EQ(y1, 31) << "mushroom does not stand on the bottom row";
      int foot = 0;
      for (int x = 6; x < 26; ++x) foot += e.image.at(x, 31)[3] > 200;
      EXPECT_GE(foot, 3) << "no foot on the bottom row";
    }
    uint64_t h = 1469598103934665603ULL;  // FNV-1a over the pixels
    for (uint8_t v : e.image.px) h = (h ^ v) * 1099511628211ULL;
    EXPECT_TRUE(distinct.insert(h).second) << "duplicate sprite";
  }
  EXPECT_EQ(distinct.size(), 90u);
}

// The 64- and 128-pixel entries (PNG, for screens of a higher device scale)
// are the 32-pixel sprite drawn finer: shrunk to 32 pixels they differ from
// it only a little, in colour and in outline.
TEST_F(ArtFiles, LargerSpritesAreTheSameDrawingFiner) {
  std::vector<std::pair<std::string, const std::vector<Image>*>> larger;
  std::vector<const Image*> small;
  for (const LeafSprite& l : art_->leaves) {
    larger.emplace_back("leaf_" + std::to_string(l.id) + ".ico", &l.larger);
    small.push_back(&l.image);
  }
  for (const MushroomSprite& m : art_->mushrooms) {
    larger.emplace_back("mushroom_" + std::to_string(m.id) + ".ico", &m.larger);
    small.push_back(&m.image);
  }
  ASSERT_EQ(larger.size(), 90u);
  double worst_mean = 0.0;
  for (size_t s = 0; s < larger.size(); ++s) {
    const auto& [name, images] = larger[s];
    SCOPED_TRACE(name);
    auto entries = decodeIco(file(name));
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 3u);
    ASSERT_EQ(images->size(), 2u);
    for (size_t i = 1; i < 3; ++i) {
      const IcoEntry& e = (*entries)[i];
      const Image& big = (*images)[i - 1];
      const int side = 32 << i;
      ASSERT_TRUE(e.png);
      ASSERT_EQ(e.image.w, side);
      ASSERT_EQ(e.image.h, side);
      // The file holds exactly the drawing.
      const uint32_t size = le32(file(name), 6 + 16 * i + 8),
                     offset = le32(file(name), 6 + 16 * i + 12);
      const StbImage png =
          stbDecode(Bytes(file(name).begin() + offset, file(name).begin() + offset + size), 4);
      ASSERT_EQ(png.w, side);
      ASSERT_TRUE(png.px == big.px);
      // Shrunk to 32 pixels it is the small sprite but for a little colour
      // and outline: premultiplied channels, 0..255, over the whole square.
      const Image shrunk = shrink(big, side / 32);
      double sum = 0.0;
      int far = 0;
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
          const uint8_t* a = small[s]->at(x, y);
          const uint8_t* b = shrunk.at(x, y);
          for (int c = 0; c < 4; ++c) {
            const double va = c == 3 ? a[3] : a[c] * a[3] / 255.0;
            const double vb = c == 3 ? b[3] : b[c] * b[3] / 255.0;
            sum += std::fabs(va - vb);
            far += std::fabs(va - vb) > 96.0;
          }
        }
      const double mean = sum / (32.0 * 32.0 * 4.0);
      worst_mean = std::max(worst_mean, mean);
      EXPECT_LT(mean, 2.0) << side << " px";
      EXPECT_LT(far, 40) << side << " px";
    }
  }
  std::printf("largest mean difference of a shrunk sprite: %.2f of 255\n", worst_mean);
}

TEST_F(ArtFiles, AppIconHasAllSizesWithPngForTheLargest) {
  auto entries = decodeIco(file("app.ico"));
  ASSERT_TRUE(entries.has_value());
  std::vector<int> sizes;
  for (const IcoEntry& e : *entries) sizes.push_back(e.image.w);
  EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 256}));
  EXPECT_TRUE(entries->back().png);
  for (size_t i = 0; i + 1 < entries->size(); ++i) EXPECT_FALSE((*entries)[i].png);
  // The 16 px leaf is solid enough to read: a third of the square opaque.
  int opaque = 0;
  for (int i = 0; i < 16 * 16; ++i)
    opaque += entries->front().image.px[static_cast<size_t>(i) * 4 + 3] > 200;
  EXPECT_GT(opaque, 16 * 16 / 3);
}

TEST_F(ArtFiles, AboutDiskLeavesRoomForTheDialog) {
  auto bmp = decodeBmp(file("about_disk.bmp"));
  ASSERT_TRUE(bmp.has_value());
  EXPECT_EQ(bmp->bitCount, 24);
  const Image& img = bmp->image;
  ASSERT_EQ(img.w, 356);
  ASSERT_EQ(img.h, 330);
  auto white = [&](int x, int y) {
    const uint8_t* p = img.at(x, y);
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
  };
  int logoInk = 0, printInk = 0;
  for (int y = 50; y <= 215; ++y)
    for (int x = 40; x <= 318; ++x) {
      bool inLogo = y >= 52 && y <= 76;
      bool inPrint = y >= 198 && y <= 212;
      if (!inLogo && !inPrint) {
        ASSERT_TRUE(white(x, y)) << "label not plain white at " << x << "," << y;
      } else if (!white(x, y)) {
        (inLogo ? logoInk : printInk)++;
      }
    }
  EXPECT_GT(logoInk, 200);
  EXPECT_GT(printInk, 60);
  // The OK button sits on grey metal.
  for (int y : {258, 300})
    for (int x : {170, 208, 249, 300}) {
      const uint8_t* p = img.at(x, y);
      EXPECT_LT(std::abs(p[0] - p[2]), 24) << x << "," << y;
      EXPECT_GT(p[1], 110) << x << "," << y;
    }
  // Navy shows only at the corners.
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      const uint8_t* p = img.at(x, y);
      if (p[0] == 0 && p[1] == 0 && p[2] == 128) {
        bool corner = (x < 24 || x >= img.w - 24) && (y < 24 || y >= img.h - 24);
        ASSERT_TRUE(corner) << "background visible at " << x << "," << y;
      }
    }
}

TEST_F(ArtFiles, EmblemUsesOnlyTheClassicColoursAndHardAlpha) {
  auto entries = decodeIco(file("emblem.ico"));
  ASSERT_TRUE(entries.has_value());
  const Image& img = entries->front().image;
  ASSERT_EQ(img.w, 32);
  std::set<uint32_t> palette;
  for (const Rgba& c : classicPalette())
    palette.insert((toByte(c.r) << 16) | (toByte(c.g) << 8) | toByte(c.b));
  std::set<uint32_t> used;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const uint8_t* p = img.at(x, y);
      ASSERT_TRUE(p[3] == 0 || p[3] == 255);
      if (p[3] == 255) used.insert((p[0] << 16) | (p[1] << 8) | p[2]);
    }
  for (uint32_t c : used) EXPECT_TRUE(palette.count(c)) << std::hex << c;
  EXPECT_GE(used.size(), 5u);
}

TEST_F(ArtFiles, SecondRunIsByteIdentical) {
  ArtSet again = buildArt();
  ASSERT_EQ(again.files.size(), art_->files.size());
  for (const auto& [name, bytes] : art_->files) EXPECT_TRUE(again.files.at(name) == bytes) << name;
}

// The generator and resources/art are changed together; a drawing change
// that was not regenerated, or a refactoring that moved a pixel, shows here.
TEST_F(ArtFiles, AreTheCommittedFiles) {
  for (const auto& [name, bytes] : art_->files) {
    std::ifstream in(std::string(SARVEL_COMMITTED_ART_DIR) + "/" + name, std::ios::binary);
    ASSERT_TRUE(in) << name << " is missing from " << SARVEL_COMMITTED_ART_DIR;
    const Bytes committed{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(committed == bytes) << name << " differs from the committed file";
  }
}

}  // namespace
}  // namespace artgen
