#include "core/gfx/picture_codec.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

#include "core/base/failure.h"

// The decoder lives in this file only, private to it. No SIMD so that every
// build decodes JPEGs to the same bits.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_NO_SIMD
#define STBI_NO_FAILURE_STRINGS
#define STBI_ONLY_BMP
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS 16384
// Every block the decoder takes starts zeroed: a JPEG scan may name a Huffman
// table that no DHT segment defined, and the decoder would then look codes up
// in whatever the memory held, far past the table's end. Zeroed tables only
// fail to match.
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC(p, size) std::realloc(p, size)
#define STBI_FREE(p) std::free(p)
#include <stb_image.h>

namespace sarvel::gfx {

static_assert(STBI_MAX_DIMENSIONS == kMaxPictureSide);

namespace {

[[noreturn]] void Invalid() { Raise(Err::kInvalidPicture); }

bool SizeAllowed(int64_t w, int64_t h) {
  return w > 0 && h > 0 && w <= kMaxPictureSide && h <= kMaxPictureSide &&
         w * h <= kMaxPicturePixels;
}

// Feeds the decoder from memory through its callback interface, which is the
// only way to learn that it ran past the end: on its own it pads a truncated
// file with zeros and returns a picture.
struct Reader {
  std::span<const uint8_t> bytes;
  size_t pos = 0;
  bool overrun = false;

  static int Read(void* user, char* out, int size) {
    auto* r = static_cast<Reader*>(user);
    const size_t left = r->bytes.size() - r->pos;
    const size_t n = std::min(left, size_t(std::max(size, 0)));
    if (n == 0 && size > 0) r->overrun = true;
    if (n > 0) std::memcpy(out, r->bytes.data() + r->pos, n);
    r->pos += n;
    return int(n);
  }
  static void Skip(void* user, int n) {
    auto* r = static_cast<Reader*>(user);
    if (n < 0) {
      r->pos -= std::min(r->pos, size_t(-int64_t(n)));
    } else {
      r->pos += std::min(r->bytes.size() - r->pos, size_t(n));
    }
  }
  static int Eof(void* user) {
    auto* r = static_cast<Reader*>(user);
    return r->pos >= r->bytes.size() ? 1 : 0;
  }
};

// The bundled JPEG decoder writes past its Huffman tables when a DHT segment
// declares more than 256 codes in one table. This finds any such segment
// wherever the decoder could come across one: the header is walked segment by
// segment exactly as the decoder walks it (so payloads of other segments are
// skipped), and from the first scan on, where the decoder's position depends
// on the compressed data, every FF C4 pair is checked.
class JpegTableCheck {
 public:
  explicit JpegTableCheck(std::span<const uint8_t> b) : b_(b) {}

  bool Safe() const {
    if (b_.empty() || b_[0] != 0xFF) return true;  // not a JPEG to the decoder
    size_t from = 0;
    if (!WalkHeader(from)) return false;
    for (size_t i = from; i + 1 < b_.size(); ++i) {
      if (b_[i] == 0xFF && b_[i + 1] == 0xC4 && !TablesFit(i + 2)) return false;
    }
    return true;
  }

 private:
  // Beyond the end the decoder reads zeros.
  uint8_t At(size_t i) const { return i < b_.size() ? b_[i] : 0; }
  size_t Be16(size_t i) const { return size_t(At(i)) << 8 | At(i + 1); }

  // Reads the marker at p as the decoder does (fill bytes skipped), leaving p
  // after it. Returns -1 when p is not at a marker.
  int Marker(size_t& p) const {
    if (p >= b_.size() || b_[p] != 0xFF) return -1;
    while (p < b_.size() && b_[p] == 0xFF) ++p;
    return p < b_.size() ? b_[p++] : -1;
  }

  // The DHT segment whose length field is at p, parsed as the decoder does:
  // false if it would overrun a table.
  bool TablesFit(size_t p) const {
    int64_t left = int64_t(Be16(p)) - 2;
    p += 2;
    while (left > 0) {
      const uint8_t q = At(p++);
      if ((q >> 4) > 1 || (q & 15) > 3) return true;  // refused by the decoder
      size_t codes = 0;
      for (int i = 0; i < 16; ++i) codes += At(p++);
      if (codes > 256) return false;
      p += codes;
      left -= int64_t(17 + codes);
    }
    return true;
  }

  // Follows the header segments up to the first scan, checking the tables
  // met on the way, and leaves `from` where the walk stopped. False when a
  // table is unsafe.
  bool WalkHeader(size_t& from) const {
    size_t p = 0;
    if (Marker(p) != 0xD8) return true;
    for (;;) {
      // Stray bytes between segments are skipped up to the next FF.
      while (p < b_.size() && b_[p] != 0xFF) ++p;
      from = p;
      const int m = Marker(p);
      const bool skipped = (m >= 0xE0 && m <= 0xEF) || m == 0xFE || m == 0xDB || m == 0xDD ||
                           m == 0xC0 || m == 0xC1 || m == 0xC2;
      if (m == 0xC4 && !TablesFit(p)) return false;
      if (m != 0xC4 && !skipped) return true;
      const size_t length = Be16(p);
      if (length < 2 || p + length > b_.size()) return true;
      p += length;
    }
  }

  std::span<const uint8_t> b_;
};

uint32_t Be32(std::span<const uint8_t> b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// A PNG whose chunks run past the end of the file is cut off; the decoder
// would first allocate what the chunk header claims (gigabytes, for a
// damaged length) and only then find the data missing.
bool PngChunksFit(std::span<const uint8_t> b) {
  size_t at = 8;
  while (at + 8 <= b.size()) {
    const uint64_t length = Be32(b, at);
    if (length > b.size() - at - 8 || b.size() - at - 8 - length < 4) return false;
    const bool end = std::memcmp(b.data() + at + 4, "IEND", 4) == 0;
    at += 12 + size_t(length);
    if (end) return true;
  }
  return false;
}

// Whether a file of `bytes` can hold a w x h picture at all, with room to
// spare: a bitmap stores every pixel (8 a byte at 1 bit), a JPEG codes at
// least one bit per 8 x 8 block, a GIF code stands for at most 4096 pixels,
// and deflate packs at most 1032 bytes into one. A header that claims more
// than its file could hold is damaged or forged: it is refused before the
// decoder allocates the picture (a 30-byte GIF would otherwise take 800 MB).
bool Plausible(std::span<const uint8_t> b, int64_t w, int64_t h) {
  auto starts = [&](std::initializer_list<uint8_t> sig) {
    return b.size() >= sig.size() && std::equal(sig.begin(), sig.end(), b.begin());
  };
  const int64_t size = int64_t(b.size());
  if (starts({'B', 'M'})) return w * h / 8 <= size;
  if (starts({0xFF, 0xD8})) return w * h / 512 <= size;
  if (starts({'G', 'I', 'F', '8'})) return w * h / 4096 <= size;
  if (starts({0x89, 'P', 'N', 'G'})) {
    if (b.size() < 33 || !PngChunksFit(b)) return false;
    static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    const int depth = b[24], type = b[25];
    const int64_t bits = int64_t(depth) * (type < 7 ? kChannels[type] : 0);
    const int64_t raw = h * (1 + (w * bits + 7) / 8);
    return raw / 1032 <= size;
  }
  return true;
}

struct StbFree {
  void operator()(stbi_uc* p) const { stbi_image_free(p); }
};

// Any format the decoder knows, checked for size before a pixel is allocated.
ImageRef DecodeWithStb(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > size_t(INT_MAX)) Invalid();
  // A JPEG file begins with its start-of-image marker. The decoder would
  // also take fill bytes before it, but reading them carries its format test
  // past its 128-byte read buffer, and its rewind then hands the decoder
  // stale buffer bytes in place of the file: bytes no check here has seen.
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] != 0xD8) Invalid();
  if (!JpegTableCheck(bytes).Safe()) Invalid();
  int w = 0, h = 0, channels = 0;
  if (!stbi_info_from_memory(bytes.data(), int(bytes.size()), &w, &h, &channels)) Invalid();
  if (!SizeAllowed(w, h)) Invalid();
  if (!Plausible(bytes, w, h)) Invalid();

  Reader reader{bytes};
  const stbi_io_callbacks io{&Reader::Read, &Reader::Skip, &Reader::Eof};
  std::unique_ptr<stbi_uc, StbFree> rgba(
      stbi_load_from_callbacks(&io, &reader, &w, &h, &channels, 4));
  if (!rgba || reader.overrun || !SizeAllowed(w, h)) Invalid();

  auto image = std::make_shared<Image>(w, h);
  const stbi_uc* p = rgba.get();
  for (int y = 0; y < h; ++y) {
    Argb* row = image->row(y);
    for (int x = 0; x < w; ++x, p += 4) row[x] = Premultiply(p[3], p[0], p[1], p[2]);
  }
  image->UpdateOpaque();
  return image;
}

// ---- .ico -------------------------------------------------------------------

constexpr std::array<uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint16_t U16(std::span<const uint8_t> b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }
uint32_t U32(std::span<const uint8_t> b, size_t at) {
  return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
         (uint32_t(b[at + 3]) << 24);
}

// True when [offset, offset + size) lies inside a buffer of `total` bytes.
bool Fits(uint64_t offset, uint64_t size, uint64_t total) {
  return offset <= total && size <= total - offset;
}

struct IconEntry {
  int side = 0;  // as the directory states it
  int bit_count = 0;
  std::span<const uint8_t> data;
};

// One BITMAPINFOHEADER image: the colour rows (bottom-up, 4-byte aligned) at
// twice the height, followed by the 1-bit AND mask in which set bits are
// transparent. Returns null when the data does not hold together.
ImageRef DecodeDib(std::span<const uint8_t> d) {
  if (d.size() < 40) return nullptr;
  const uint32_t header_size = U32(d, 0);
  const int32_t width = int32_t(U32(d, 4));
  const int32_t double_height = int32_t(U32(d, 8));
  const int bpp = U16(d, 14);
  const uint32_t compression = U32(d, 16);
  const uint32_t colors_used = U32(d, 32);
  if (header_size < 40 || header_size > d.size() || compression != 0) return nullptr;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return nullptr;
  const int32_t height = double_height / 2;
  if (!SizeAllowed(width, height)) return nullptr;

  uint64_t palette_size = 0;
  if (bpp <= 8) {
    palette_size = colors_used != 0 ? colors_used : (1u << bpp);
    if (palette_size > 256) return nullptr;
  }
  const uint64_t palette_at = header_size;
  const uint64_t colour_at = palette_at + palette_size * 4;
  const uint64_t colour_stride = (uint64_t(width) * uint64_t(bpp) + 31) / 32 * 4;
  const uint64_t mask_at = colour_at + colour_stride * uint64_t(height);
  const uint64_t mask_stride = (uint64_t(width) + 31) / 32 * 4;
  if (!Fits(colour_at, colour_stride * uint64_t(height), d.size())) return nullptr;
  const bool has_mask = Fits(mask_at, mask_stride * uint64_t(height), d.size());
  // Paletted and 24-bit images get their transparency only from the mask.
  if (!has_mask && bpp != 32) return nullptr;

  auto masked = [&](int x, int y) {
    const uint8_t bits =
        d[size_t(mask_at + mask_stride * uint64_t(height - 1 - y)) + size_t(x / 8)];
    return ((bits >> (7 - x % 8)) & 1) != 0;
  };

  auto image = std::make_shared<Image>(width, height);
  bool any_alpha = false;
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = d.data() + colour_at + colour_stride * uint64_t(height - 1 - y);
    Argb* row = image->row(y);
    for (int x = 0; x < width; ++x) {
      uint8_t a = 0xFF, r = 0, g = 0, b = 0;
      if (bpp == 32) {
        b = src[x * 4];
        g = src[x * 4 + 1];
        r = src[x * 4 + 2];
        a = src[x * 4 + 3];
        any_alpha = any_alpha || a != 0;
      } else if (bpp == 24) {
        b = src[x * 3];
        g = src[x * 3 + 1];
        r = src[x * 3 + 2];
      } else {
        const int per_byte = 8 / bpp;
        const int shift = 8 - bpp * (x % per_byte + 1);
        const uint32_t index = (src[x / per_byte] >> shift) & ((1u << bpp) - 1);
        // Indices beyond a short palette read as black rather than past it.
        if (index < palette_size) {
          const uint8_t* entry = d.data() + palette_at + index * 4;
          b = entry[0];
          g = entry[1];
          r = entry[2];
        }
      }
      if (bpp != 32 && masked(x, y)) a = 0;
      // Straight ARGB for now; premultiplied below once alpha is settled.
      row[x] = (Argb(a) << 24) | (Argb(r) << 16) | (Argb(g) << 8) | b;
    }
  }
  // Old 32-bit icons leave alpha at zero everywhere and rely on the mask.
  const bool use_mask = bpp == 32 && !any_alpha;
  for (int y = 0; y < height; ++y) {
    Argb* row = image->row(y);
    for (int x = 0; x < width; ++x) {
      uint8_t a = AlphaOf(row[x]);
      if (use_mask) a = (has_mask && masked(x, y)) ? 0 : 0xFF;
      row[x] = Premultiply(a, RedOf(row[x]), GreenOf(row[x]), BlueOf(row[x]));
    }
  }
  image->UpdateOpaque();
  return image;
}

ImageRef DecodeEntry(std::span<const uint8_t> d) {
  if (d.size() >= kPngSignature.size() &&
      std::equal(kPngSignature.begin(), kPngSignature.end(), d.begin())) {
    try {
      return DecodeWithStb(d);
    } catch (const RuntimeFailure&) {
      return nullptr;
    }
  }
  return DecodeDib(d);
}

}  // namespace

ImageRef DecodePicture(std::span<const uint8_t> bytes) { return DecodeWithStb(bytes); }

namespace {

std::vector<IconEntry> IconEntries(std::span<const uint8_t> bytes) {
  if (bytes.size() < 6) Invalid();
  const uint16_t reserved = U16(bytes, 0);
  const uint16_t type = U16(bytes, 2);
  const uint16_t count = U16(bytes, 4);
  // Type 1 is an icon, 2 a cursor; their images are stored alike.
  if (reserved != 0 || (type != 1 && type != 2) || count == 0) Invalid();
  if (!Fits(6, uint64_t(count) * 16, bytes.size())) Invalid();

  std::vector<IconEntry> entries;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = 6 + i * 16;
    const uint32_t size = U32(bytes, at + 8);
    const uint32_t offset = U32(bytes, at + 12);
    if (size == 0 || !Fits(offset, size, bytes.size())) continue;
    const int w = bytes[at] == 0 ? 256 : bytes[at];
    const int h = bytes[at + 1] == 0 ? 256 : bytes[at + 1];
    entries.push_back(
        {std::max(w, h), type == 1 ? U16(bytes, at + 6) : 0, bytes.subspan(offset, size)});
  }
  return entries;
}

// The first entry in this order that decodes. A damaged entry should not
// cost the whole icon.
ImageRef FirstThatDecodes(const std::vector<IconEntry>& entries) {
  for (const IconEntry& e : entries) {
    if (ImageRef image = DecodeEntry(e.data)) return image;
  }
  Invalid();
}

}  // namespace

ImageRef DecodeIcon(std::span<const uint8_t> bytes, int preferred_side) {
  std::vector<IconEntry> entries = IconEntries(bytes);
  // Closest size first, the larger one on ties, then the deeper colour.
  std::stable_sort(entries.begin(), entries.end(), [&](const IconEntry& a, const IconEntry& b) {
    const int64_t da = std::abs(int64_t(a.side) - preferred_side);
    const int64_t db = std::abs(int64_t(b.side) - preferred_side);
    if (da != db) return da < db;
    if (a.side != b.side) return a.side > b.side;
    return a.bit_count > b.bit_count;
  });
  return FirstThatDecodes(entries);
}

std::vector<int> IconSides(std::span<const uint8_t> bytes) {
  std::vector<int> sides;
  for (const IconEntry& e : IconEntries(bytes)) sides.push_back(e.side);
  return sides;
}

ImageRef DecodeIconForSize(std::span<const uint8_t> bytes, int side) {
  std::vector<IconEntry> entries = IconEntries(bytes);
  // Those at least `side` large, smallest first; then the smaller ones,
  // largest first; the deeper colour on ties.
  std::stable_sort(entries.begin(), entries.end(), [&](const IconEntry& a, const IconEntry& b) {
    const bool a_below = a.side < side, b_below = b.side < side;
    if (a_below != b_below) return !a_below;
    if (a.side != b.side) return a_below ? a.side > b.side : a.side < b.side;
    return a.bit_count > b.bit_count;
  });
  return FirstThatDecodes(entries);
}

}  // namespace sarvel::gfx
