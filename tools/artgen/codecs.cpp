#include "codecs.h"

#include <cstdio>
#include <cstring>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace artgen {

namespace {

void put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v & 255));
  b.push_back(static_cast<uint8_t>((v >> 8) & 255));
}

void put32(Bytes& b, uint32_t v) {
  put16(b, v & 0xffff);
  put16(b, v >> 16);
}

uint32_t get16(const Bytes& b, size_t at) {
  return b[at] | (static_cast<uint32_t>(b[at + 1]) << 8);
}
uint32_t get32(const Bytes& b, size_t at) { return get16(b, at) | (get16(b, at + 2) << 16); }

void putInfoHeader(Bytes& b, int w, int h, int bits, uint32_t imageSize, uint32_t colors,
                   uint32_t ppm) {
  put32(b, 40);
  put32(b, static_cast<uint32_t>(w));
  put32(b, static_cast<uint32_t>(h));
  put16(b, 1);
  put16(b, static_cast<uint32_t>(bits));
  put32(b, 0);  // BI_RGB
  put32(b, imageSize);
  put32(b, ppm);
  put32(b, ppm);
  put32(b, colors);
  put32(b, colors);
}

int maskStride(int w) { return (w + 31) / 32 * 4; }

Bytes icoDib(const Image& img) {
  Bytes b;
  const int mstride = maskStride(img.w);
  const uint32_t xorSize = static_cast<uint32_t>(img.w * img.h * 4);
  const uint32_t andSize = static_cast<uint32_t>(mstride * img.h);
  putInfoHeader(b, img.w, img.h * 2, 32, xorSize + andSize, 0, 0);
  for (int y = img.h - 1; y >= 0; --y) {
    for (int x = 0; x < img.w; ++x) {
      const uint8_t* p = img.at(x, y);
      if (p[3] == 0) {
        put32(b, 0);
        continue;
      }
      b.push_back(p[2]);
      b.push_back(p[1]);
      b.push_back(p[0]);
      b.push_back(p[3]);
    }
  }
  for (int y = img.h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<size_t>(mstride), 0);
    for (int x = 0; x < img.w; ++x) {
      if (img.at(x, y)[3] == 0)
        row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

void appendToBytes(void* ctx, void* data, int size) {
  auto* out = static_cast<Bytes*>(ctx);
  const auto* p = static_cast<const uint8_t*>(data);
  out->insert(out->end(), p, p + size);
}

}  // namespace

Bytes encodePng(const Image& img) {
  Bytes out;
  stbi_write_png_compression_level = 9;
  stbi_write_png_to_func(appendToBytes, &out, img.w, img.h, 4, img.px.data(), img.w * 4);
  return out;
}

Bytes encodeIco(const std::vector<Image>& images) {
  std::vector<Bytes> blobs;
  for (const Image& img : images) blobs.push_back(img.w >= 64 ? encodePng(img) : icoDib(img));
  Bytes b;
  put16(b, 0);
  put16(b, 1);
  put16(b, static_cast<uint32_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    b.push_back(static_cast<uint8_t>(images[i].w >= 256 ? 0 : images[i].w));
    b.push_back(static_cast<uint8_t>(images[i].h >= 256 ? 0 : images[i].h));
    b.push_back(0);
    b.push_back(0);
    put16(b, 1);
    put16(b, 32);
    put32(b, static_cast<uint32_t>(blobs[i].size()));
    put32(b, offset);
    offset += static_cast<uint32_t>(blobs[i].size());
  }
  for (const Bytes& blob : blobs) b.insert(b.end(), blob.begin(), blob.end());
  return b;
}

Bytes encodeBmp24(const Image& img) {
  const int stride = (img.w * 3 + 3) & ~3;
  const uint32_t imageSize = static_cast<uint32_t>(stride * img.h);
  Bytes b;
  b.push_back('B');
  b.push_back('M');
  put32(b, 54 + imageSize);
  put32(b, 0);
  put32(b, 54);
  putInfoHeader(b, img.w, img.h, 24, imageSize, 0, 2835);
  for (int y = img.h - 1; y >= 0; --y) {
    size_t start = b.size();
    for (int x = 0; x < img.w; ++x) {
      const uint8_t* p = img.at(x, y);
      b.push_back(p[2]);
      b.push_back(p[1]);
      b.push_back(p[0]);
    }
    while (b.size() - start < static_cast<size_t>(stride)) b.push_back(0);
  }
  return b;
}

Bytes encodeBmp4(int w, int h, const Palette16& palette, const std::vector<uint8_t>& indices) {
  const int stride = ((w * 4 + 31) / 32) * 4;
  const uint32_t imageSize = static_cast<uint32_t>(stride * h);
  const uint32_t offBits = 14 + 40 + 16 * 4;
  Bytes b;
  b.push_back('B');
  b.push_back('M');
  put32(b, offBits + imageSize);
  put32(b, 0);
  put32(b, offBits);
  putInfoHeader(b, w, h, 4, imageSize, 16, 2835);
  for (const auto& c : palette.rgb) {
    b.push_back(c[2]);
    b.push_back(c[1]);
    b.push_back(c[0]);
    b.push_back(0);
  }
  for (int y = h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
    for (int x = 0; x < w; ++x) {
      uint8_t idx = indices[static_cast<size_t>(y) * w + x] & 15;
      row[static_cast<size_t>(x / 2)] |= (x % 2 == 0) ? static_cast<uint8_t>(idx << 4) : idx;
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

std::optional<std::vector<IcoEntry>> decodeIco(const Bytes& data) {
  if (data.size() < 6 || get16(data, 0) != 0 || get16(data, 2) != 1) return std::nullopt;
  const uint32_t count = get16(data, 4);
  if (data.size() < 6 + 16 * count) return std::nullopt;
  std::vector<IcoEntry> out;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t e = 6 + 16 * i;
    const uint32_t size = get32(data, e + 8);
    const uint32_t offset = get32(data, e + 12);
    if (static_cast<uint64_t>(offset) + size > data.size()) return std::nullopt;
    IcoEntry entry;
    entry.bitCount = static_cast<uint16_t>(get16(data, e + 6));
    static const uint8_t kPngSig[8] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    if (size >= 8 && std::memcmp(&data[offset], kPngSig, 8) == 0) {
      // Width and height from the IHDR chunk; pixels are decoded elsewhere.
      entry.png = true;
      const size_t ihdr = offset + 16;
      entry.image.w = static_cast<int>((data[ihdr] << 24) | (data[ihdr + 1] << 16) |
                                       (data[ihdr + 2] << 8) | data[ihdr + 3]);
      entry.image.h = static_cast<int>((data[ihdr + 4] << 24) | (data[ihdr + 5] << 16) |
                                       (data[ihdr + 6] << 8) | data[ihdr + 7]);
      out.push_back(std::move(entry));
      continue;
    }
    if (get32(data, offset) != 40) return std::nullopt;
    const int w = static_cast<int>(get32(data, offset + 4));
    const int h = static_cast<int>(get32(data, offset + 8)) / 2;
    const uint32_t bits = get16(data, offset + 14);
    if (bits != 32 || w <= 0 || h <= 0) return std::nullopt;
    const size_t pixels = offset + 40;
    const int mstride = maskStride(w);
    const size_t maskStart = pixels + static_cast<size_t>(w) * h * 4;
    if (maskStart + static_cast<size_t>(mstride) * h > offset + size) return std::nullopt;
    entry.image = Image(w, h);
    for (int y = 0; y < h; ++y) {
      const size_t row = pixels + static_cast<size_t>(h - 1 - y) * w * 4;
      for (int x = 0; x < w; ++x) {
        uint8_t* p = entry.image.at(x, y);
        p[0] = data[row + x * 4 + 2];
        p[1] = data[row + x * 4 + 1];
        p[2] = data[row + x * 4 + 0];
        p[3] = data[row + x * 4 + 3];
      }
    }
    entry.andMask.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
      const size_t row = maskStart + static_cast<size_t>(h - 1 - y) * mstride;
      for (int x = 0; x < w; ++x) {
        entry.andMask[static_cast<size_t>(y) * w + x] = (data[row + x / 8] >> (7 - x % 8)) & 1;
      }
    }
    out.push_back(std::move(entry));
  }
  return out;
}

std::optional<BmpInfo> decodeBmp(const Bytes& data) {
  if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return std::nullopt;
  const uint32_t offBits = get32(data, 10);
  if (get32(data, 14) != 40) return std::nullopt;
  const int w = static_cast<int>(get32(data, 18));
  const int h = static_cast<int>(get32(data, 22));
  BmpInfo info;
  info.bitCount = static_cast<int>(get16(data, 28));
  if (get32(data, 30) != 0 || w <= 0 || h <= 0) return std::nullopt;
  info.colorsUsed = static_cast<int>(get32(data, 46));
  if (info.bitCount != 24 && info.bitCount != 4) return std::nullopt;
  const int stride = ((w * info.bitCount + 31) / 32) * 4;
  if (offBits + static_cast<size_t>(stride) * h > data.size()) return std::nullopt;
  if (info.bitCount == 4) {
    const int colors = info.colorsUsed == 0 ? 16 : info.colorsUsed;
    for (int i = 0; i < colors; ++i) {
      size_t p = 54 + static_cast<size_t>(i) * 4;
      info.palette.push_back({data[p + 2], data[p + 1], data[p]});
    }
    info.indices.resize(static_cast<size_t>(w) * h);
  }
  info.image = Image(w, h);
  for (int y = 0; y < h; ++y) {
    const size_t row = offBits + static_cast<size_t>(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) {
      uint8_t* p = info.image.at(x, y);
      if (info.bitCount == 24) {
        p[0] = data[row + x * 3 + 2];
        p[1] = data[row + x * 3 + 1];
        p[2] = data[row + x * 3];
      } else {
        uint8_t byte = data[row + x / 2];
        uint8_t idx = (x % 2 == 0) ? (byte >> 4) : (byte & 15);
        info.indices[static_cast<size_t>(y) * w + x] = idx;
        if (idx >= info.palette.size()) return std::nullopt;
        p[0] = info.palette[idx][0];
        p[1] = info.palette[idx][1];
        p[2] = info.palette[idx][2];
      }
      p[3] = 255;
    }
  }
  return info;
}

bool writeFile(const std::string& path, const Bytes& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

}  // namespace artgen
