// Decoding picture files and .ico resources, including damaged ones that
// must be refused. (That any bytes at all decode or are refused, and never
// read or write out of bounds, is the picture fuzz target's to show.)
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include "core/base/failure.h"
#include "core/gfx/picture_codec.h"
#include "core/ports/resource_library.h"

namespace sarvel::gfx {
namespace {

using Bytes = std::vector<uint8_t>;

void Append(void* out, void* data, int size) {
  static_cast<Bytes*>(out)->insert(static_cast<Bytes*>(out)->end(), static_cast<uint8_t*>(data),
                                   static_cast<uint8_t*>(data) + size);
}

void Put(Bytes& b, uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) b.push_back(uint8_t(v >> (8 * k)));
}

// RGBA with colour from the position and alpha falling off to the right.
Bytes TestRgba(int w, int h) {
  Bytes px;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      px.insert(px.end(), {uint8_t(x * 16), uint8_t(y * 16), 200, uint8_t(255 - x * 30)});
  }
  return px;
}

Bytes Png(int w, int h, const Bytes& rgba) {
  Bytes out;
  stbi_write_png_to_func(Append, &out, w, h, 4, rgba.data(), w * 4);
  return out;
}

// 3x2, palette red, green, blue and a transparent fourth entry; rows are
// indices 0 1 2 / 2 3 0.
const Bytes kGif = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x03, 0x00, 0x02, 0x00, 0x91, 0x00, 0x00,
                    0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x09, 0x09, 0x09, 0x21,
                    0xF9, 0x04, 0x01, 0x00, 0x00, 0x03, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x03,
                    0x00, 0x02, 0x00, 0x00, 0x02, 0x04, 0x44, 0x28, 0x71, 0x28, 0x00, 0x3B};

void ExpectInvalid(const std::function<void()>& f, const char* what) {
  try {
    f();
    ADD_FAILURE() << what << " was accepted";
  } catch (const RuntimeFailure& e) {
    EXPECT_EQ(e.number(), 481) << what;
  }
}

TEST(DecodePicture, ReadsEveryFormatAsPremultipliedArgb) {
  const Bytes rgba = TestRgba(8, 5);
  const ImageRef png = DecodePicture(Png(8, 5, rgba));
  ASSERT_EQ(png->width(), 8);
  ASSERT_EQ(png->height(), 5);
  EXPECT_FALSE(png->opaque());
  for (size_t i = 0; i < 40; ++i) {
    const uint8_t* p = &rgba[i * 4];
    ASSERT_EQ(png->at(int(i % 8), int(i / 8)), Premultiply(p[3], p[0], p[1], p[2]));
  }

  Bytes bmp;
  stbi_write_bmp_to_func(Append, &bmp, 8, 5, 4, rgba.data());
  EXPECT_EQ(DecodePicture(bmp)->at(7, 4), Premultiply(45, 112, 64, 200));

  // JPEG is lossy: a flat picture comes back close to its colour.
  Bytes flat, jpg;
  for (int i = 0; i < 16 * 16; ++i) flat.insert(flat.end(), {180, 90, 30});
  stbi_write_jpg_to_func(Append, &jpg, 16, 16, 3, flat.data(), 95);
  const ImageRef j = DecodePicture(jpg);
  EXPECT_TRUE(j->opaque());
  EXPECT_NEAR(RedOf(j->at(5, 5)), 180, 4);
  EXPECT_NEAR(GreenOf(j->at(5, 5)), 90, 4);
  EXPECT_NEAR(BlueOf(j->at(5, 5)), 30, 4);

  const ImageRef g = DecodePicture(kGif);
  EXPECT_EQ(g->at(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(g->at(1, 0), Rgb(0, 255, 0));
  EXPECT_EQ(g->at(2, 0), Rgb(0, 0, 255));
  EXPECT_EQ(g->at(1, 1), 0u);
}

TEST(DecodePicture, RefusesDamagedAndOversizedFiles) {
  Bytes rgb(64 * 64 * 3), bmp, jpg;
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 7);
  stbi_write_bmp_to_func(Append, &bmp, 64, 64, 3, rgb.data());
  stbi_write_jpg_to_func(Append, &jpg, 64, 64, 3, rgb.data(), 90);
  const Bytes png = Png(16, 16, TestRgba(16, 16));
  for (const Bytes* file : std::initializer_list<const Bytes*>{&bmp, &jpg, &png, &kGif}) {
    ExpectInvalid([&] { DecodePicture({file->data(), file->size() * 2 / 3}); }, "a cut file");
  }
  ExpectInvalid([] { DecodePicture({}); }, "no bytes");

  // Headers promising enormous pictures are refused before decoding.
  Bytes huge = {'B', 'M'};
  for (uint32_t v : {54u, 0u, 54u, 40u, 60000u, 60000u}) Put(huge, v, 4);
  ExpectInvalid([&] { DecodePicture(huge); }, "a 60000x60000 BMP header");
  for (auto [w, h] : {std::pair{60000u, 60000u}, {16385u, 1u}, {9000u, 9000u}}) {
    Bytes p = Png(1, 1, {1, 2, 3, 4});
    for (int k = 0; k < 4; ++k) {
      p[16 + k] = uint8_t(w >> (24 - 8 * k));
      p[20 + k] = uint8_t(h >> (24 - 8 * k));
    }
    ExpectInvalid([&] { DecodePicture(p); }, "an oversized PNG header");
  }

  // Huffman tables claiming more than 256 codes would overrun the decoder's
  // tables, whether they come before the first scan or after it.
  const uint8_t dht_marker[] = {0xFF, 0xC4};
  const size_t dht =
      size_t(std::search(jpg.begin(), jpg.end(), std::begin(dht_marker), std::end(dht_marker)) -
             jpg.begin());
  ASSERT_LT(dht, jpg.size());
  Bytes bad = jpg;
  std::fill(bad.begin() + ptrdiff_t(dht + 5), bad.begin() + ptrdiff_t(dht + 21), 17);
  ExpectInvalid([&] { DecodePicture(bad); }, "an oversized Huffman table");
  bad = jpg;
  Bytes late = {0xFF, 0xC4, 0x00, 0x13, 0x00};
  late.insert(late.end(), 16, 17);
  bad.insert(bad.end() - 2, late.begin(), late.end());
  ExpectInvalid([&] { DecodePicture(bad); }, "an oversized Huffman table after a scan");

  // Fill bytes before the start-of-image marker: what the decoder then reads
  // past its first buffer is not the file any more.
  bad = Bytes(140, 0xFF);
  bad.insert(bad.end(), jpg.begin() + 1, jpg.end());
  ExpectInvalid([&] { DecodePicture(bad); }, "fill bytes before the start of the image");
}

// A baseline JPEG whose scan names Huffman tables that no DHT segment ever
// defined. The decoder's working memory is first made to hold 0xFF bytes, as
// freed blocks of earlier work may: decoding must not read its lookup tables
// out of that (which indexes far past them).
TEST(DecodePicture, ScanWithUndefinedHuffmanTablesReadsNoGarbage) {
  Bytes jpg = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
  jpg.insert(jpg.end(), 64, 0x01);
  for (uint8_t b : {0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x10, 0x00, 0x10, 0x01, 0x01, 0x11, 0x00})
    jpg.push_back(b);
  for (uint8_t b : {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00}) jpg.push_back(b);
  jpg.insert(jpg.end(), 96, 0x5A);
  jpg.insert(jpg.end(), {0xFF, 0xD9});
  for (int round = 0; round < 3; ++round) {
    {
      std::vector<std::vector<uint8_t>> garbage;
      for (size_t size = 8 << 10; size <= 48 << 10; size += 256)
        garbage.emplace_back(size, uint8_t(0xFF));
    }
    try {
      const ImageRef image = DecodePicture(jpg);
      EXPECT_EQ(image->width(), 16);
    } catch (const RuntimeFailure& f) {
      EXPECT_EQ(f.number(), 481);
    }
  }
}

// ---- .ico ---------------------------------------------------------------

struct Entry {
  int side, bpp;
  Bytes data;
};

Bytes Ico(const std::vector<Entry>& entries) {
  Bytes out = {0, 0, 1, 0};
  Put(out, uint32_t(entries.size()), 2);
  uint32_t offset = uint32_t(6 + 16 * entries.size());
  for (const Entry& e : entries) {
    out.insert(out.end(), {uint8_t(e.side), uint8_t(e.side), 0, 0, 1, 0});
    Put(out, uint32_t(e.bpp), 2);
    Put(out, uint32_t(e.data.size()), 4);
    Put(out, offset, 4);
    offset += uint32_t(e.data.size());
  }
  for (const Entry& e : entries) out.insert(out.end(), e.data.begin(), e.data.end());
  return out;
}

// A square DIB entry. `pixel` gives the palette index, or 0xAARRGGBB for 24
// and 32 bits; `masked` the AND mask bit.
Entry Dib(int side, int bpp, const std::vector<Argb>& palette,
          const std::function<uint32_t(int, int)>& pixel,
          const std::function<bool(int, int)>& masked) {
  Bytes d;
  for (uint32_t v : {40, side, side * 2}) Put(d, v, 4);
  Put(d, 1, 2);
  Put(d, uint32_t(bpp), 2);
  for (uint32_t v : {0u, 0u, 0u, 0u, uint32_t(palette.size()), 0u}) Put(d, v, 4);
  for (Argb c : palette) Put(d, c & 0xFFFFFF, 4);
  const size_t stride = size_t((side * bpp + 31) / 32 * 4),
               mask_stride = size_t((side + 31) / 32 * 4);
  Bytes colour(stride * size_t(side)), mask(mask_stride * size_t(side));
  for (int y = 0; y < side; ++y) {
    uint8_t* row = &colour[stride * size_t(side - 1 - y)];
    for (int x = 0; x < side; ++x) {
      const uint32_t v = pixel(x, y);
      if (bpp >= 24) {
        for (int k = 0; k < bpp / 8; ++k) row[x * bpp / 8 + k] = uint8_t(v >> (8 * k));
      } else {
        row[x * bpp / 8] |= uint8_t(v << (8 - bpp - x * bpp % 8));
      }
      if (masked(x, y)) mask[mask_stride * size_t(side - 1 - y) + size_t(x / 8)] |= 0x80 >> x % 8;
    }
  }
  d.insert(d.end(), colour.begin(), colour.end());
  d.insert(d.end(), mask.begin(), mask.end());
  return {side, bpp, d};
}

const std::vector<Argb> kPalette = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                    0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                    0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

TEST(DecodeIcon, ReadsTrueColourPalettedAndPngEntries) {
  // 32 bits carry straight alpha, premultiplied on the way in.
  const ImageRef i32 = DecodeIcon(Ico({Dib(
      32, 32, {}, [](int x, int y) { return uint32_t(x * 8) << 24 | uint32_t(y * 8) << 8; },
      [](int, int) { return true; })}));
  EXPECT_EQ(i32->at(0, 5), 0u);
  EXPECT_EQ(i32->at(31, 31), Premultiply(248, 0, 248, 0));
  // Old 32-bit icons without any alpha take their transparency from the mask.
  const ImageRef old = DecodeIcon(
      Ico({Dib(
          16, 32, {}, [](int, int) { return 0x00FF8040u; }, [](int x, int) { return x < 4; })}),
      16);
  EXPECT_EQ(old->at(3, 0), 0u);
  EXPECT_EQ(old->at(4, 0), Rgb(255, 128, 64));

  for (int bpp : {1, 4, 8, 24}) {
    const size_t colours = bpp == 1 ? 2 : 16;
    auto index = [&](int x, int y) { return uint32_t(size_t(x * 3 + y) % colours); };
    auto masked = [](int x, int y) { return (x + 2 * y) % 5 == 0; };
    const std::vector<Argb> palette(kPalette.begin(), kPalette.begin() + ptrdiff_t(colours));
    const ImageRef img = DecodeIcon(
        Ico({Dib(
            13, bpp, bpp == 24 ? std::vector<Argb>{} : palette,
            [&](int x, int y) { return bpp == 24 ? kPalette[index(x, y)] : index(x, y); },
            masked)}),
        13);
    for (int y = 0; y < 13; ++y) {
      for (int x = 0; x < 13; ++x) {
        ASSERT_EQ(img->at(x, y), masked(x, y) ? 0u : 0xFF000000u | kPalette[index(x, y)])
            << bpp << " bits at " << x << "," << y;
      }
    }
  }

  const Bytes rgba = TestRgba(8, 8);
  const ImageRef p = DecodeIcon(Ico({{8, 32, Png(8, 8, rgba)}}), 8);
  EXPECT_EQ(p->at(2, 1), Premultiply(rgba[43], rgba[40], rgba[41], rgba[42]));
}

// A square entry of one colour, unmasked; at 4 bits palette entry 9.
Entry Solid(int side, uint32_t colour, int bpp) {
  return Dib(
      side, bpp, bpp == 4 ? kPalette : std::vector<Argb>{},
      [=](int, int) { return bpp == 4 ? 9u : colour; }, [](int, int) { return false; });
}

// DecodeIcon takes the closest size (the larger on ties, then the deeper
// colour); for drawing at a size, DecodeIconForSize takes the smallest entry
// at least that large (so a picture is shrunk, not enlarged), else the
// largest: the same rule as the resource libraries' BestIconSide. A damaged
// best entry gives way to the next in either order.
TEST(DecodeIcon, PicksTheClosestSizeOrTheSmallestAtLeastThatLarge) {
  const Bytes closest = Ico({Solid(16, 0xFF000001, 32), Solid(48, 0xFF000002, 32), Solid(32, 0, 4),
                             Solid(32, 0xFF000003, 32)});
  EXPECT_EQ(DecodeIcon(closest, 32)->at(0, 0), 0xFF000003u);  // deeper colour at equal size
  EXPECT_EQ(DecodeIcon(closest, 40)->width(), 48);            // ties go to the larger
  EXPECT_EQ(DecodeIcon(closest, 24)->width(), 32);
  EXPECT_EQ(DecodeIcon(closest, 1)->width(), 16);
  const Bytes ico = Ico({Solid(64, 0xFF000001, 32), Solid(32, 0xFF000002, 32),
                         Solid(128, 0xFF000003, 32), Solid(64, 0, 4)});
  EXPECT_EQ(IconSides(ico), (std::vector<int>{64, 32, 128, 64}));
  const std::pair<int, int> wanted_and_side[] = {{1, 32},   {32, 32},   {33, 64},
                                                 {49, 64},  {64, 64},   {65, 128},
                                                 {98, 128}, {128, 128}, {300, 128}};
  for (const auto& [wanted, side] : wanted_and_side) {
    EXPECT_EQ(DecodeIconForSize(ico, wanted)->width(), side) << wanted;
    EXPECT_EQ(BestIconSide(IconSides(ico), wanted), side) << wanted;
  }
  EXPECT_EQ(DecodeIconForSize(ico, 50)->at(0, 0), 0xFF000001u);  // the deeper colour of the two 64s
  EXPECT_EQ(BestIconSide(std::vector<int>{}, 32), -1);
  Entry broken = Solid(64, 0xFF000004, 32);
  broken.data[14] = 16;  // 16 bits per pixel: not an icon format
  const Bytes damaged = Ico({broken, Solid(128, 0xFF000005, 32), Solid(32, 0xFF000006, 32)});
  EXPECT_EQ(DecodeIconForSize(damaged, 40)->width(), 128);
  EXPECT_EQ(DecodeIcon(damaged, 64)->width(), 32);
  ExpectInvalid([] { IconSides(Bytes{0, 0, 1}); }, "a cut-off directory");
}

TEST(DecodeIcon, RefusesMalformedFiles) {
  const Entry good = Dib(
      16, 4, kPalette, [](int x, int) { return uint32_t(x); }, [](int x, int y) { return x == y; });
  const Bytes ico = Ico({good});
  ASSERT_EQ(DecodeIcon(ico, 16)->width(), 16);
  auto patched = [&](size_t at, uint32_t value, int bytes) {
    Bytes b = ico;
    for (int k = 0; k < bytes; ++k) b.at(at + size_t(k)) = uint8_t(value >> (8 * k));
    return b;
  };
  const uint32_t size = uint32_t(good.data.size());
  const std::pair<Bytes, const char*> cases[] = {
      {Bytes(ico.begin(), ico.begin() + 5), "a cut directory"},
      {patched(2, 3, 2), "an unknown type"},
      {patched(4, 500, 2), "more entries than the file holds"},
      {patched(18, uint32_t(ico.size()), 4), "an offset past the end"},
      {patched(18, 0xFFFFFFF0u, 4), "an offset that wraps around"},
      {patched(14, 0xFFFFFFFFu, 4), "a size past the end"},
      {patched(14, size - 20, 4), "a cut AND mask"},
      {patched(22, 0xFFFF, 4), "a header longer than the entry"},
      {patched(26, 0xFFFFFFFFu, 4), "a negative width"},
      {patched(30, 1, 4), "a zero height"},
      {patched(54, 300, 4), "an oversized palette"},
  };
  for (const auto& c : cases) ExpectInvalid([&] { DecodeIcon(c.first, 16); }, c.second);
}

}  // namespace
}  // namespace sarvel::gfx
