// A small 24-bit bitmap file for tests that need a real picture on disk.
#pragma once

#include <cstdint>
#include <string>

namespace sarvel::test {

// A 24-bit bitmap of w x h: red on the left half, blue on the right.
inline std::string BitmapBytes(int w, int h) {
  const uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
  const uint32_t size = 54 + stride * uint32_t(h);
  std::string b = "BM";
  auto put = [&](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b += char((v >> (8 * i)) & 0xFF);
  };
  put(size, 4), put(0, 4), put(54, 4), put(40, 4), put(uint32_t(w), 4), put(uint32_t(h), 4);
  put(1, 2), put(24, 2), put(0, 4), put(stride * uint32_t(h), 4), put(2835, 4), put(2835, 4),
      put(0, 4), put(0, 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      b += x < w / 2 ? std::string("\0\0\xff", 3) : std::string("\xff\0\0", 3);
    b += std::string(stride - uint32_t(w) * 3, '\0');
  }
  return b;
}

}  // namespace sarvel::test
