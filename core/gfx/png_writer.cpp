#include "core/gfx/png_writer.h"

#include <cstdio>

#include "core/base/failure.h"

// Private to this file, so other users of the encoder cannot clash with it.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace sarvel::gfx {
namespace {

void Append(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

std::vector<uint8_t> Encode(int w, int h, int channels, const std::vector<uint8_t>& pixels) {
  std::vector<uint8_t> png;
  if (w <= 0 || h <= 0) return png;
  stbi_write_png_to_func(Append, &png, w, h, channels, pixels.data(), w * channels);
  return png;
}

void Save(const std::string& path, const std::vector<uint8_t>& png) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) Raise(Err::kPathFileAccess);
  const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  if (std::fclose(f) != 0 || !ok) Raise(Err::kPathFileAccess);
}

}  // namespace

std::vector<uint8_t> EncodePng(const Surface& s) {
  std::vector<uint8_t> rgb(size_t(s.width()) * size_t(s.height()) * 3);
  size_t i = 0;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      const Argb c = s.at(x, y);
      rgb[i++] = RedOf(c);
      rgb[i++] = GreenOf(c);
      rgb[i++] = BlueOf(c);
    }
  }
  return Encode(s.width(), s.height(), 3, rgb);
}

std::vector<uint8_t> EncodePng(const Image& img) {
  std::vector<uint8_t> rgba(size_t(img.width()) * size_t(img.height()) * 4);
  size_t i = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const Argb c = img.at(x, y);
      const uint8_t a = AlphaOf(c);
      auto unmul = [a](uint8_t v) {
        return a == 0 ? uint8_t(0) : uint8_t(std::min(255, (v * 255 + a / 2) / a));
      };
      rgba[i++] = unmul(RedOf(c));
      rgba[i++] = unmul(GreenOf(c));
      rgba[i++] = unmul(BlueOf(c));
      rgba[i++] = a;
    }
  }
  return Encode(img.width(), img.height(), 4, rgba);
}

void WritePng(const std::string& path, const Surface& surface) { Save(path, EncodePng(surface)); }
void WritePng(const std::string& path, const Image& image) { Save(path, EncodePng(image)); }

}  // namespace sarvel::gfx
