// The about box as designed: its size and colours, and each control's place in
// twips, content and look. The model and every view read this one table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/maker.h"
#include "app/resource_ids.h"
#include "core/gfx/color.h"

namespace sarvel {

enum class InfoControl : uint8_t {
  kDiskPicture,  // the disk picture, beneath everything else
  kTitle,        // title
  kVersion,      // version
  kFreeware,     // "Freeware"
  kHomepage,
  kEmblem,     // emblem
  kCatalogue,  // catalogue line
  kOk,
  kCount
};
inline constexpr size_t kInfoControlCount = size_t(InfoControl::kCount);
inline constexpr size_t Index(InfoControl c) { return size_t(c); }

enum class InfoKind : uint8_t { kPicture, kLabel, kButton };

struct InfoControlDesign {
  InfoControl id;
  std::string_view name;
  InfoKind kind;
  std::string_view caption;      // design text; the title and version are set at load
  int left, top, width, height;  // twips
  int picture;                   // resource id of a picture
  int point_size_x100;           // "MS Sans Serif" size in hundredths of a point
  bool bold, underline;
  gfx::Argb fore_color;
  bool transparent;  // false: white background
};

inline constexpr int kInfoClientWidth = 5340;  // twips
inline constexpr int kInfoClientHeight = 4935;
inline constexpr gfx::Argb kInfoBackColor = gfx::Rgb(0, 0, 128);
inline constexpr std::string_view kCatalogueLine = "Sarvel autumn collection no. 7";

// clang-format off
inline constexpr std::array<InfoControlDesign, kInfoControlCount> kInfoControls = {{
  // id, name, kind, caption, left, top, width, height, picture, size, bold, underline, colour, transparent
  {InfoControl::kDiskPicture,      "Image2",      InfoKind::kPicture, "",                0,    0, 5340, 4935, IDB_ABOUT_DISK,    0, false, false, gfx::kBlack,           true},
  {InfoControl::kTitle,     "Label(0)",    InfoKind::kLabel,   "",              840, 1200, 3732,  252, 0,              1200, true,  false, gfx::kBlack,           false},
  {InfoControl::kVersion,     "Label(1)",    InfoKind::kLabel,   "",              840, 1680, 3735,  255, 0,               825, true,  false, gfx::kBlack,           true},
  {InfoControl::kFreeware,     "Label(2)",    InfoKind::kLabel,   "Freeware",      840, 1920, 3735,  375, 0,              1350, true,  false, gfx::Rgb(128, 0, 0),   false},
  {InfoControl::kHomepage, "lblHomepage", InfoKind::kLabel,   kMakerAddress,   840, 2350, 3735,  255, 0,               825, true,  true,  gfx::Rgb(0, 0, 192),   true},
  {InfoControl::kEmblem,    "Image1(1)",   InfoKind::kPicture, "",             3960, 2430,  480,  480, IDI_EMBLEM,        0, false, false, gfx::kBlack,           true},
  {InfoControl::kCatalogue,     "Label(4)",    InfoKind::kLabel,   kCatalogueLine,  840, 2640, 3135,  255, 0,               825, false, false, gfx::kBlack,           true},
  {InfoControl::kOk,          "ok",          InfoKind::kButton,  "&OK",          3120, 3960,  615,  495, 0,               825, true,  false, gfx::kBlack,           false},
}};
// clang-format on

constexpr bool InfoTableInOrder() {
  for (size_t i = 0; i < kInfoControls.size(); ++i)
    if (Index(kInfoControls[i].id) != i) return false;
  return true;
}
static_assert(InfoTableInOrder(), "kInfoControls must list the controls in enum order");

constexpr const InfoControlDesign& DesignOf(InfoControl c) { return kInfoControls[Index(c)]; }

}  // namespace sarvel
