// The parts of the GTK dialogs that need no display: twips at a resolution,
// access keys, and our pictures handed to GTK and cairo.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dialogs/config_controls.h"
#include "core/gfx/image.h"
#include "core/gfx/surface.h"
#include "frontends/gtk/gtk_support.h"

namespace sarvel::gtk {
namespace {

TEST(GtkSupport, TwipsBecomePixelsAtTheScreensResolution) {
  // The dialog's client areas at 96 dpi, as on Windows.
  EXPECT_EQ(Px(kConfigClientWidth, 96), 497);
  EXPECT_EQ(Px(kConfigClientHeight, 96), 310);
  // Rounded to the nearest pixel, halves away from zero.
  EXPECT_EQ(Px(7, 96), 0);
  EXPECT_EQ(Px(8, 96), 1);
  EXPECT_EQ(Px(3, 240), 1);
  EXPECT_EQ(Px(-3, 240), -1);
  EXPECT_EQ(Px(1440, 109.5), 110);
  EXPECT_EQ(Twips(356, 96), 5340);
  EXPECT_EQ(Twips(1, 125), 12);  // 11.52
  for (double dpi : {96.0, 120.0, 144.0, 192.0}) {
    for (int twips : {0, 120, 255, 4935, 5340, 7455})
      EXPECT_NEAR(Twips(Px(twips, dpi), dpi), twips, 1440 / dpi);
  }
}

TEST(GtkSupport, AccessKeysAreMarkedAsGtkMarksThem) {
  EXPECT_EQ(Mnemonic("&Default Standard"), "_Default Standard");
  EXPECT_EQ(Mnemonic("&OK"), "_OK");
  EXPECT_EQ(Mnemonic("Select / Auswählen..."), "Select / Auswählen...");
  EXPECT_EQ(Mnemonic("R&&D"), "R&D");
  EXPECT_EQ(Mnemonic("&&&Go"), "&_Go");
  EXPECT_EQ(Mnemonic("file_name"), "file__name");
  EXPECT_EQ(Mnemonic("end&"), "end_");
  // The four access keys of the dialog: O, D, I, W.
  std::string keys;
  for (const ConfigControlDesign& d : kConfigControls) {
    const std::string m = Mnemonic(d.caption);
    const size_t at = m.find('_');
    if (at != std::string::npos) keys += m[at + 1];
  }
  EXPECT_EQ(keys, "WIDO");
}

TEST(GtkSupport, PicturesReachGdkWithStraightAlpha) {
  gfx::Image image(2, 2);
  image.set(0, 0, gfx::Premultiply(255, 10, 20, 30));
  image.set(1, 0, gfx::Premultiply(128, 255, 0, 0));
  image.set(0, 1, 0);
  image.set(1, 1, gfx::Premultiply(64, 0, 0, 200));
  GObjectPtr<GdkPixbuf> pixbuf = PixbufOf(image);
  ASSERT_TRUE(pixbuf);
  ASSERT_TRUE(gdk_pixbuf_get_has_alpha(pixbuf.get()));
  const guchar* p = gdk_pixbuf_get_pixels(pixbuf.get());
  const int stride = gdk_pixbuf_get_rowstride(pixbuf.get());
  auto at = [&](int x, int y) {
    const guchar* px = p + y * stride + x * 4;
    return std::vector<int>{px[0], px[1], px[2], px[3]};
  };
  EXPECT_EQ(at(0, 0), (std::vector<int>{10, 20, 30, 255}));
  EXPECT_EQ(at(1, 0), (std::vector<int>{255, 0, 0, 128}));
  EXPECT_EQ(at(0, 1), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_NEAR(at(1, 1)[2], 200, 2);
  EXPECT_EQ(at(1, 1)[3], 64);

  GObjectPtr<GdkPixbuf> bigger = PixbufOf(image, 48);
  EXPECT_EQ(gdk_pixbuf_get_width(bigger.get()), 48);
  EXPECT_EQ(gdk_pixbuf_get_height(bigger.get()), 48);
}

TEST(GtkSupport, SurfacesReachCairoPixelForPixel) {
  gfx::Surface surface(3, 2, gfx::Rgb(0, 0, 128));
  surface.Clear();
  surface.row(1)[2] = gfx::Rgb(200, 100, 50);
  CairoSurfacePtr out = CairoSurfaceOf(surface);
  ASSERT_EQ(cairo_surface_status(out.get()), CAIRO_STATUS_SUCCESS);
  cairo_surface_flush(out.get());
  const unsigned char* data = cairo_image_surface_get_data(out.get());
  const int stride = cairo_image_surface_get_stride(out.get());
  auto word = [&](int x, int y) {
    return reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFFu;
  };
  EXPECT_EQ(word(0, 0), 0x000080u);
  EXPECT_EQ(word(2, 1), 0xC86432u);
}

}  // namespace
}  // namespace sarvel::gtk
