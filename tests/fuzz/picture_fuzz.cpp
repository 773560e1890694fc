// Picture files (BMP, JPEG, GIF, PNG through DecodePicture) and icons
// (.ico through DecodeIcon): any bytes either decode to a picture within the
// size limits or are refused with 481, without reading or writing out of
// bounds and without allocating more than the run's memory limit
// (-rss_limit_mb); a decoded picture can be drawn stretched and as an icon.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/base/failure.h"
#include "core/gfx/painter.h"
#include "core/gfx/picture_codec.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void CheckAndDraw(const sarvel::gfx::ImageRef& image) {
  using namespace sarvel::gfx;
  FUZZ_CHECK(image && image->width() > 0 && image->height() > 0);
  FUZZ_CHECK(image->width() <= kMaxPictureSide && image->height() <= kMaxPictureSide);
  FUZZ_CHECK(int64_t(image->width()) * image->height() <= kMaxPicturePixels);
  Surface target(23, 17, kBlack);
  DrawStretched(target, *image, Rect{-3, 2, 29, 11});
  DrawIcon(target, *image, 4.5f, -2.0f, 32, 32);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sarvel;
  const std::span<const uint8_t> bytes(data, size);
  for (int as_icon = 0; as_icon < 2; ++as_icon) {
    try {
      CheckAndDraw(as_icon ? gfx::DecodeIcon(bytes, size ? 16 + data[0] % 48 : 32)
                           : gfx::DecodePicture(bytes));
    } catch (const RuntimeFailure& f) {
      FUZZ_CHECK(f.number() == int32_t(Err::kInvalidPicture));
    }
  }
  return 0;
}
