// sarvel-artgen: draws the screen saver's sprites, icons and backdrops.
//
//   sarvel-artgen <output-dir>             write every art file
//   sarvel-artgen --contact-sheet <png>    write an overview picture
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "artset.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: sarvel-artgen <output-dir>\n"
               "       sarvel-artgen --contact-sheet <png>\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outDir, sheetPath;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--contact-sheet") == 0) {
      if (i + 1 >= argc) return usage();
      sheetPath = argv[++i];
    } else if (argv[i][0] == '-') {
      return usage();
    } else if (outDir.empty()) {
      outDir = argv[i];
    } else {
      return usage();
    }
  }
  if (outDir.empty() && sheetPath.empty()) return usage();

  const artgen::ArtSet art = artgen::buildArt();
  if (!outDir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    for (const auto& [name, bytes] : art.files) {
      std::string path = (std::filesystem::path(outDir) / name).string();
      if (!artgen::writeFile(path, bytes)) {
        std::fprintf(stderr, "sarvel-artgen: cannot write %s\n", path.c_str());
        return 1;
      }
    }
    std::printf("wrote %zu files to %s\n", art.files.size(), outDir.c_str());
  }
  if (!sheetPath.empty()) {
    std::filesystem::path p(sheetPath);
    if (p.has_parent_path()) {
      std::error_code ec;
      std::filesystem::create_directories(p.parent_path(), ec);
    }
    if (!artgen::writeFile(sheetPath, artgen::encodePng(artgen::contactSheet(art)))) {
      std::fprintf(stderr, "sarvel-artgen: cannot write %s\n", sheetPath.c_str());
      return 1;
    }
    std::printf("wrote %s\n", sheetPath.c_str());
  }
  return 0;
}
