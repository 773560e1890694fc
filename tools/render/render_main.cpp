// sarvel-render: runs the real scene on the off-screen host and writes a
// frame as PNG. The same seed and arguments give the same pixels every time,
// on every build.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/base/failure.h"
#include "core/base/little_endian.h"
#include "core/gfx/painter.h"
#include "core/gfx/png_writer.h"
#include "frontends/offscreen/scene_runner.h"

namespace {

using sarvel::AppendLe16;
using sarvel::AppendLe32;

// A 24-bit bottom-up bitmap, as the resource compiler takes it.
std::vector<uint8_t> EncodeBmp(const sarvel::gfx::Surface& s) {
  const uint32_t stride = (uint32_t(s.width()) * 3 + 3) & ~3u;
  const uint32_t size = stride * uint32_t(s.height());
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  AppendLe32(out, 54 + size);
  AppendLe32(out, 0);
  AppendLe32(out, 54);
  AppendLe32(out, 40);
  AppendLe32(out, uint32_t(s.width()));
  AppendLe32(out, uint32_t(s.height()));
  AppendLe16(out, 1);
  AppendLe16(out, 24);
  AppendLe32(out, 0);
  AppendLe32(out, size);
  AppendLe32(out, 3780);  // 96 dots per inch
  AppendLe32(out, 3780);
  AppendLe32(out, 0);
  AppendLe32(out, 0);
  for (int y = s.height() - 1; y >= 0; --y) {
    const size_t start = out.size();
    for (int x = 0; x < s.width(); ++x) {
      const sarvel::gfx::Argb c = s.at(x, y);
      out.push_back(sarvel::gfx::BlueOf(c));
      out.push_back(sarvel::gfx::GreenOf(c));
      out.push_back(sarvel::gfx::RedOf(c));
    }
    while (out.size() - start < stride) out.push_back(0);
  }
  return out;
}

void Usage() {
  std::fputs(
      "usage: sarvel-render [options] OUTPUT.png\n"
      "  --seed N          random seed (default 1)\n"
      "  --size WxH        window size in device pixels (default 1024x768)\n"
      "  --scale S         device pixels per logical pixel, 0.5 to 8: 1 for 96 DPI (default),\n"
      "                    1.25, 1.5, 2 for 120, 144, 192 DPI; --size 3840x2160 --scale 2 is\n"
      "                    the 1920x1080 scene drawn twice as fine\n"
      "  --frames N        frames to run before the picture is taken (default 100)\n"
      "  --background K    1 black, 2 blue, 3 brown, 4 desktop, 5 picture, 6 random (default 2)\n"
      "  --picture FILE    the picture for background 5\n"
      "  --speed S         speed level 0.1 .. 10 (default 10)\n"
      "  --count N         quantity level 2 .. 10 (default 10: 141 to 201 leaves)\n"
      "  --no-date, --no-time   leave the date or the time out of the corner\n"
      "  --scale-to WxH    shrink (or stretch) the finished frame to this size\n"
      "OUTPUT ending in .bmp is written as a 24-bit bitmap, anything else as PNG.\n",
      stderr);
}

bool ParseSize(const char* text, int* w, int* h) {
  return std::sscanf(text, "%dx%d", w, h) == 2 && *w > 0 && *h > 0 && *w <= 16384 && *h <= 16384;
}

}  // namespace

int main(int argc, char** argv) {
  sarvel::headless::SceneRunOptions o;
  int frames = 100;
  int scale_w = 0, scale_h = 0;
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "sarvel-render: %s needs a value\n", a.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--seed")
      o.seed = uint32_t(std::strtoul(value(), nullptr, 10));
    else if (a == "--size") {
      if (!ParseSize(value(), &o.width, &o.height)) {
        std::fputs("sarvel-render: --size takes WxH, each 1 to 16384\n", stderr);
        return 2;
      }
    } else if (a == "--scale") {
      char* end = nullptr;
      const char* text = value();
      o.scale = std::strtod(text, &end);
      if (end == text || *end != '\0' || !(o.scale >= 0.5 && o.scale <= 8.0)) {
        std::fputs("sarvel-render: --scale takes a number from 0.5 to 8\n", stderr);
        return 2;
      }
    } else if (a == "--frames")
      frames = std::max(0, std::atoi(value()));
    else if (a == "--background")
      o.Set<&sarvel::SaverSettings::background_kind>(value());
    else if (a == "--picture")
      o.Set<&sarvel::SaverSettings::picture_file>(value());
    else if (a == "--speed")
      o.Set<&sarvel::SaverSettings::leaf_speed>(value());
    else if (a == "--count")
      o.Set<&sarvel::SaverSettings::max_leaf>(value());
    else if (a == "--scale-to") {
      if (!ParseSize(value(), &scale_w, &scale_h)) {
        std::fputs("sarvel-render: --scale-to takes WxH, each 1 to 16384\n", stderr);
        return 2;
      }
    } else if (a == "--no-date")
      o.Set<&sarvel::SaverSettings::show_date>("0");
    else if (a == "--no-time")
      o.Set<&sarvel::SaverSettings::show_time>("0");
    else if (a == "--help" || a == "-h") {
      Usage();
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "sarvel-render: unknown option %s\n", a.c_str());
      Usage();
      return 2;
    } else {
      output = a;
    }
  }
  if (output.empty()) {
    Usage();
    return 2;
  }
  sarvel::headless::OffscreenSceneRunner run(o);
  if (!run.Start() || !run.RunFrames(frames)) {
    std::fprintf(stderr, "sarvel-render: the run ended early; see %s/Sarvel.EPT\n",
                 run.platform().exe.folder.c_str());
    return 1;
  }
  sarvel::gfx::Surface frame = run.WindowImage();
  if (scale_w > 0) {
    sarvel::gfx::Surface scaled(scale_w, scale_h, sarvel::gfx::kBlack);
    sarvel::gfx::DrawStretched(scaled, *frame.Snapshot(), scaled.bounds());
    frame = scaled;
  }
  try {
    if (output.size() > 4 && output.compare(output.size() - 4, 4, ".bmp") == 0) {
      const std::vector<uint8_t> bmp = EncodeBmp(frame);
      std::FILE* f = std::fopen(output.c_str(), "wb");
      if (!f || std::fwrite(bmp.data(), 1, bmp.size(), f) != bmp.size() || std::fclose(f) != 0)
        sarvel::Raise(sarvel::Err::kPathFileAccess);
    } else {
      sarvel::gfx::WritePng(output, frame);
    }
  } catch (const sarvel::RuntimeFailure& f) {
    std::fprintf(stderr, "sarvel-render: cannot write %s (%s)\n", output.c_str(),
                 f.description().c_str());
    return 1;
  }
  return 0;
}
