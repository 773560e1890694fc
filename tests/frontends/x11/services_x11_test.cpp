// The X11 front end's parts that need no display: the resource text's dots
// per inch and pixel layouts.
#include <gtest/gtest.h>

#include "core/gfx/surface.h"
#include "frontends/x11/x11_display.h"

namespace sarvel::x11 {
namespace {

TEST(Services, XftDpiFromTheResourceText) {
  EXPECT_EQ(XftDpiOf("Xft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n"), 144.0);
  EXPECT_EQ(XftDpiOf("Xft.dpi :  120.5"), 120.5);
  EXPECT_EQ(XftDpiOf("Xft.dpiX:\t144\n"), 0.0);
  EXPECT_EQ(XftDpiOf("Xft.dpi:\tlots\n"), 0.0);
  EXPECT_EQ(XftDpiOf(nullptr), 0.0);
}

TEST(Pixels, NativeLayoutOnlyForArgbInOurByteOrder) {
  EXPECT_TRUE(PixelFormat::Make(0xFF0000, 0xFF00, 0xFF, 24, 32, LSBFirst).native);
  EXPECT_FALSE(PixelFormat::Make(0xFF0000, 0xFF00, 0xFF, 24, 32, MSBFirst).native);
  EXPECT_FALSE(PixelFormat::Make(0xFF, 0xFF00, 0xFF0000, 24, 32, LSBFirst).native);
  const PixelFormat rgb565 = PixelFormat::Make(0xF800, 0x07E0, 0x001F, 16, 16, LSBFirst);
  EXPECT_FALSE(rgb565.native);
  EXPECT_EQ(rgb565.FromArgb(gfx::Rgb(255, 0, 0)), 0xF800u);
  EXPECT_EQ(rgb565.FromArgb(gfx::Rgb(0, 255, 0)), 0x07E0u);
  EXPECT_EQ(rgb565.FromArgb(gfx::kWhite), 0xFFFFu);
  EXPECT_EQ(rgb565.ToArgb(0xFFFF), gfx::kWhite);
  EXPECT_EQ(rgb565.ToArgb(0x001F), gfx::Rgb(0, 0, 255));
  // Middle greys survive the round trip within one 5-bit step.
  const gfx::Argb grey = rgb565.ToArgb(rgb565.FromArgb(gfx::Rgb(128, 128, 128)));
  EXPECT_NEAR(gfx::RedOf(grey), 128, 5);
}

}  // namespace
}  // namespace sarvel::x11
