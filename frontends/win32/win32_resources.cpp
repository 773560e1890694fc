// Win32: reading RT_GROUP_ICON / RT_ICON / RT_BITMAP resources.
#include "frontends/win32/win32_resources.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "core/base/failure.h"
#include "core/base/little_endian.h"
#include "core/gfx/picture_codec.h"

namespace sarvel::win32 {
namespace {

std::span<const uint8_t> ResourceBytes(int id, LPCWSTR type) {
  HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
  if (!res) return {};
  HGLOBAL handle = LoadResource(nullptr, res);
  const void* data = handle ? LockResource(handle) : nullptr;
  if (!data) return {};
  return {static_cast<const uint8_t*>(data), size_t(SizeofResource(nullptr, res))};
}

#pragma pack(push, 2)
struct GroupEntry {  // GRPICONDIRENTRY
  BYTE width, height, colors, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

}  // namespace

gfx::ImageRef ExecutableResources::Icon(int id) {
  auto& slot = icons_[id];
  if (!slot) slot = Entry(id, 0);
  return slot;
}

gfx::ImageRef ExecutableResources::IconForSize(int id, int side) {
  const auto group = ResourceBytes(id, MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  if (group.size() < 6) Raise(Err::kInvalidPicture);
  const uint16_t count = uint16_t(group[4] | (group[5] << 8));
  if (group.size() < 6 + size_t(count) * sizeof(GroupEntry)) Raise(Err::kInvalidPicture);
  std::vector<int> sides;
  for (uint16_t i = 0; i < count; ++i) {
    GroupEntry e;
    std::memcpy(&e, group.data() + 6 + size_t(i) * sizeof e, sizeof e);
    sides.push_back(
        std::max(e.width == 0 ? 256 : int(e.width), e.height == 0 ? 256 : int(e.height)));
  }
  const int entry = BestIconSide(sides, side);
  auto& slot = sized_icons_[{id, entry}];
  if (!slot) slot = Entry(id, entry);
  return slot;
}

gfx::ImageRef ExecutableResources::Entry(int id, int side) {
  const auto group = ResourceBytes(id, MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  if (group.size() < 6) Raise(Err::kInvalidPicture);
  const uint16_t count = uint16_t(group[4] | (group[5] << 8));
  if (group.size() < 6 + size_t(count) * sizeof(GroupEntry) || count == 0)
    Raise(Err::kInvalidPicture);
  // The entry of that side (the 32-pixel one for 0), else the first.
  const int wanted = side > 0 ? side : 32;
  GroupEntry chosen;
  std::memcpy(&chosen, group.data() + 6, sizeof chosen);
  for (uint16_t i = 0; i < count; ++i) {
    GroupEntry e;
    std::memcpy(&e, group.data() + 6 + size_t(i) * sizeof e, sizeof e);
    if ((e.width == 0 ? 256 : int(e.width)) == wanted) chosen = e;
  }
  const auto image = ResourceBytes(chosen.id, MAKEINTRESOURCEW(3));  // RT_ICON
  if (image.empty()) Raise(Err::kInvalidPicture);
  // Rebuild a one-entry .ico around it for the common decoder.
  std::vector<uint8_t> ico;
  AppendLe16(ico, 0);
  AppendLe16(ico, 1);
  AppendLe16(ico, 1);
  ico.insert(ico.end(), {chosen.width, chosen.height, chosen.colors, 0});
  AppendLe16(ico, chosen.planes);
  AppendLe16(ico, chosen.bit_count);
  AppendLe32(ico, uint32_t(image.size()));
  AppendLe32(ico, 22);
  ico.insert(ico.end(), image.begin(), image.end());
  return gfx::DecodeIcon(ico, 32);
}

gfx::ImageRef ExecutableResources::Bitmap(int id) {
  auto& slot = bitmaps_[id];
  if (slot) return slot;
  const auto dib = ResourceBytes(id, MAKEINTRESOURCEW(2));  // RT_BITMAP
  if (dib.size() < 40) Raise(Err::kInvalidPicture);
  uint32_t header = 0, colors = 0;
  uint16_t bits = 0;
  std::memcpy(&header, dib.data(), 4);
  std::memcpy(&bits, dib.data() + 14, 2);
  std::memcpy(&colors, dib.data() + 32, 4);
  if (colors == 0 && bits <= 8) colors = 1u << bits;
  // A resource bitmap is a file without its file header: put one back.
  std::vector<uint8_t> file;
  file.push_back('B');
  file.push_back('M');
  AppendLe32(file, uint32_t(14 + dib.size()));
  AppendLe32(file, 0);
  AppendLe32(file, 14 + header + colors * 4);
  file.insert(file.end(), dib.begin(), dib.end());
  slot = gfx::DecodePicture(file);
  return slot;
}

}  // namespace sarvel::win32
