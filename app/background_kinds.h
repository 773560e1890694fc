// The background kinds, one row each: the number the settings store, the word
// that names it (the native program's -background, the hack description's
// choice), how the scene paints it, and the settings dialog's control that
// chooses it. The random choice, the dialog's range and option buttons, the
// command line and the scene's painting all read this table.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "app/resource_ids.h"
#include "app/settings.h"

namespace sarvel {

enum class BackgroundPainting : uint8_t {
  kBlack,
  kGradient,  // strips of a gradient bitmap
  kDesktop,   // the desktop as the run found it
  kPicture,   // the user's picture file
  kRandom,    // one of the kinds above, anew at every layout
};

struct BackgroundKind {
  int16_t kind;
  std::string_view name;
  BackgroundPainting painting;
  int gradient_bitmap;  // kGradient: the bitmap's resource id
  // The dialog's control, by its design name: an option button, or the box
  // that asks for a random kind.
  std::string_view control;
};

// In the order of their numbers, without gaps. A new kind takes the next
// number, so that stored settings keep what they mean.
inline constexpr std::array<BackgroundKind, 6> kBackgroundKinds = {{
    {kBackgroundBlack, "black", BackgroundPainting::kBlack, 0, "optBack(0)"},
    {kBackgroundBlue, "blue", BackgroundPainting::kGradient, IDB_GRADIENT_BLUE, "optBack(1)"},
    {kBackgroundBrown, "brown", BackgroundPainting::kGradient, IDB_GRADIENT_BROWN, "optBack(2)"},
    {kBackgroundDesktop, "desktop", BackgroundPainting::kDesktop, 0, "optBack(3)"},
    {kBackgroundPicture, "picture", BackgroundPainting::kPicture, 0, "optBack(4)"},
    {kBackgroundRandom, "random", BackgroundPainting::kRandom, 0, "chkRandom"},
}};

inline constexpr int16_t kFirstBackgroundKind = kBackgroundKinds.front().kind;
inline constexpr int16_t kLastBackgroundKind = kBackgroundKinds.back().kind;

constexpr bool BackgroundKindsInOrder() {
  for (size_t i = 0; i < kBackgroundKinds.size(); ++i)
    if (kBackgroundKinds[i].kind != kFirstBackgroundKind + int16_t(i)) return false;
  return true;
}
static_assert(BackgroundKindsInOrder(), "kBackgroundKinds: numbered in order, without gaps");

constexpr size_t PaintedKindCount() {
  size_t n = 0;
  for (const BackgroundKind& k : kBackgroundKinds) n += k.painting != BackgroundPainting::kRandom;
  return n;
}
inline constexpr size_t kPaintedKindCount = PaintedKindCount();

// The kinds a random choice draws from, each with an option button in the
// dialog: all but the random kind, in the table's order.
constexpr std::array<int16_t, kPaintedKindCount> PaintedKinds() {
  std::array<int16_t, kPaintedKindCount> kinds{};
  size_t n = 0;
  for (const BackgroundKind& k : kBackgroundKinds)
    if (k.painting != BackgroundPainting::kRandom) kinds[n++] = k.kind;
  return kinds;
}
inline constexpr std::array<int16_t, kPaintedKindCount> kPaintedKinds = PaintedKinds();

// A kind's place among kPaintedKinds; -1 for the random kind and outside.
constexpr int PaintedIndexOf(int16_t kind) {
  for (size_t i = 0; i < kPaintedKinds.size(); ++i)
    if (kPaintedKinds[i] == kind) return int(i);
  return -1;
}

// The row of a kind; null outside the table.
constexpr const BackgroundKind* BackgroundKindOf(int16_t kind) {
  if (kind < kFirstBackgroundKind || kind > kLastBackgroundKind) return nullptr;
  return &kBackgroundKinds[size_t(kind - kFirstBackgroundKind)];
}

}  // namespace sarvel
