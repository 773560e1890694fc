#include "artset.h"

#include <algorithm>
#include <string>

#include "font.h"
#include "icons.h"

namespace artgen {

ArtSet buildArt() {
  ArtSet a;
  // The sprites at 32 pixels, and at 64 and 128 for screens of a higher
  // device scale: all three sizes in one .ico each.
  a.leaves = makeLeaves(32, {64, 128});
  a.mushrooms = makeMushrooms(32, {64, 128});
  a.appIcon = makeAppIcon();
  a.emblem = makeEmblem();
  a.globe = makeGlobe();
  a.smile = makeSmile();
  a.disk = makeAboutDisk();
  a.blue = makeGradient({119, 172, 252}, {4, 5, 7});
  a.brown = makeGradient({8, 0, 4}, {171, 101, 4});

  auto sizes = [](const Image& image, const std::vector<Image>& larger) {
    std::vector<Image> all{image};
    all.insert(all.end(), larger.begin(), larger.end());
    return all;
  };
  for (const LeafSprite& l : a.leaves)
    a.files["leaf_" + std::to_string(l.id) + ".ico"] = encodeIco(sizes(l.image, l.larger));
  for (const MushroomSprite& m : a.mushrooms)
    a.files["mushroom_" + std::to_string(m.id) + ".ico"] = encodeIco(sizes(m.image, m.larger));
  a.files["gradient_102.bmp"] = a.blue.bmp();
  a.files["gradient_103.bmp"] = a.brown.bmp();
  a.files["app.ico"] = encodeIco(a.appIcon);
  a.files["about_disk.bmp"] = encodeBmp24(a.disk);
  a.files["emblem.ico"] = encodeIco({a.emblem});
  a.files["globe.ico"] = encodeIco({a.globe});
  a.files["smile.ico"] = encodeIco({a.smile});
  return a;
}

namespace {

void checker(Image& img, int x0, int y0, int w, int h) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) {
      bool odd = (((x - x0) / 8) + ((y - y0) / 8)) % 2;
      uint8_t v = odd ? 150 : 164;
      fillRect(img, x, y, x + 1, y + 1, v, v, v);
    }
}

void heading(Image& img, const std::string& text, int x, int y) {
  drawPixelText(img, text, x, y, 2, 40, 40, 44);
}

// Sprites enlarged 4x in a grid of cells with their ids underneath.
int spriteGrid(Image& sheet, int top, const std::vector<std::pair<int, const Image*>>& sprites) {
  const int cols = 10, cellW = 136, cellH = 160, x0 = 20;
  for (size_t i = 0; i < sprites.size(); ++i) {
    int cx = x0 + static_cast<int>(i % cols) * cellW;
    int cy = top + static_cast<int>(i / cols) * cellH;
    fillRect(sheet, cx, cy, cx + cellW, cy + cellH, 120, 120, 124);
    checker(sheet, cx + 1, cy + 1, 134, 134);
    blit(sheet, scaleNearest(*sprites[i].second, 4), cx + 3, cy + 3);
    std::string id = std::to_string(sprites[i].first);
    drawPixelText(sheet, id, cx + cellW / 2 - pixelTextWidth(id, 2) / 2, cy + 139, 2, 250, 250,
                  250);
  }
  int rows = static_cast<int>((sprites.size() + cols - 1) / cols);
  fillRect(sheet, x0, top + rows * cellH, x0 + cols * cellW + 1, top + rows * cellH + 1, 120, 120,
           124);
  for (int c = 0; c <= cols; ++c)
    fillRect(sheet, x0 + c * cellW, top, x0 + c * cellW + 1, top + rows * cellH, 120, 120, 124);
  return top + rows * cellH;
}

// All sprites at their real size on a backdrop.
int strip(Image& sheet, int top, const std::vector<const Image*>& sprites, const Image* backdrop) {
  const int perRow = 34, step = 40, x0 = 20, rowH = 44;
  int rows = static_cast<int>((sprites.size() + perRow - 1) / perRow);
  int w = perRow * step + 8, h = rows * rowH + 8;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t r = 0, g = 0, b = 0;
      if (backdrop) {
        int sy = std::min(backdrop->h - 1, y * backdrop->h / h);
        const uint8_t* p = backdrop->at(x % backdrop->w, sy);
        r = p[0];
        g = p[1];
        b = p[2];
      }
      fillRect(sheet, x0 + x, top + y, x0 + x + 1, top + y + 1, r, g, b);
    }
  }
  for (size_t i = 0; i < sprites.size(); ++i) {
    int x = x0 + 8 + static_cast<int>(i % perRow) * step;
    int y = top + 8 + static_cast<int>(i / perRow) * rowH;
    blit(sheet, *sprites[i], x, y);
  }
  return top + h;
}

}  // namespace

Image contactSheet(const ArtSet& art) {
  Image sheet(1400, 2600);
  fillRect(sheet, 0, 0, sheet.w, sheet.h, 206, 206, 210);
  int y = 16;
  heading(sheet, "Sarvel art", 20, y);
  y += 36;
  heading(sheet, "Leaves 141-190", 20, y);
  y += 24;
  std::vector<std::pair<int, const Image*>> leaves;
  for (const auto& l : art.leaves) leaves.push_back({l.id, &l.image});
  y = spriteGrid(sheet, y, leaves) + 20;
  heading(sheet, "Mushrooms 101-140", 20, y);
  y += 24;
  std::vector<std::pair<int, const Image*>> mush;
  for (const auto& m : art.mushrooms) mush.push_back({m.id, &m.image});
  y = spriteGrid(sheet, y, mush) + 20;

  std::vector<const Image*> all;
  for (const auto& l : art.leaves) all.push_back(&l.image);
  for (const auto& m : art.mushrooms) all.push_back(&m.image);
  heading(sheet, "Actual size on black", 20, y);
  y = strip(sheet, y + 24, all, nullptr) + 16;
  Image blue = art.blue.image(), brown = art.brown.image();
  heading(sheet, "On the blue gradient", 20, y);
  y = strip(sheet, y + 24, all, &blue) + 16;
  heading(sheet, "On the brown gradient", 20, y);
  y = strip(sheet, y + 24, all, &brown) + 20;

  heading(sheet, "Icons", 20, y);
  y += 24;
  int x = 20;
  fillRect(sheet, x, y, x + 620, y + 210, 236, 236, 236);
  int ix = x + 10;
  for (const Image& icon : art.appIcon) {
    if (icon.w >= 256) continue;
    blit(sheet, icon, ix, y + 10);
    ix += icon.w + 12;
  }
  for (const Image* small : {&art.globe, &art.smile, &art.emblem}) {
    fillRect(sheet, ix - 3, y + 7, ix + 35, y + 45, 192, 192, 196);
    blit(sheet, *small, ix, y + 10);
    ix += 44;
  }
  int bx = x + 10;
  for (const Image* small : {&art.appIcon[3], &art.globe, &art.smile, &art.emblem}) {
    blit(sheet, scaleNearest(*small, small->w >= 48 ? 3 : 4), bx, y + 60);
    bx += 150;
  }
  blit(sheet, art.appIcon.back(), x + 650, y);
  Image halfDisk = shrink(art.disk, 2);
  blit(sheet, halfDisk, x + 930, y);
  heading(sheet, "About box", x + 930, y + halfDisk.h + 8);
  const int bottom = y + art.appIcon.back().h + 16;
  Image out(sheet.w, bottom);
  std::copy(sheet.px.begin(), sheet.px.begin() + static_cast<std::ptrdiff_t>(out.px.size()),
            out.px.begin());
  return out;
}

}  // namespace artgen
