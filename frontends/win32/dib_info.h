// Win32: the header of a 32-bit DIB whose rows run top-down, as a
// gfx::Surface keeps them.
#pragma once

#include <windows.h>

namespace sarvel::win32 {

inline BITMAPINFO TopDownDibInfo(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

}  // namespace sarvel::win32
