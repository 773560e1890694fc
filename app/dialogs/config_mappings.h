// How the settings dialog's controls show the settings record and how OK takes the
// values back. The controls have fixed ranges; a stored value written by
// other means that a control cannot take is clamped into its range here, so
// that loading the dialog never fails on it.
#pragma once

#include <cstdint>

#include "app/dialogs/config_controls.h"
#include "app/options.h"

namespace sarvel {

// HScroll(0): position (max_leaf - 2) * 12.5 rounded (halves to even), kept
// within 1..100; back as position * 0.08 + 2 rounded.
int16_t MaxLeafToPosition(int16_t max_leaf);
int16_t PositionToMaxLeaf(int16_t position);

// HScroll(1): position leaf_speed * 10 rounded, kept within 1..100; a speed
// that is not a number shows as the store's default speed 10 (position 100).
// Back as position * 0.1 in single precision; every position round-trips.
int16_t LeafSpeedToPosition(float leaf_speed);
float PositionToLeafSpeed(int16_t position);

// lblTime: whole minutes of restart_seconds, kept within the spinner's
// 1..99 minutes. vscTime shows the minutes as 100 - minutes.
int16_t RestartMinutes(int32_t restart_seconds);
inline int16_t SpinnerPosition(int16_t minutes) { return int16_t(100 - minutes); }

// The control an option of the table shows in, by its design name; kOnWindow
// when the design has no control of that name.
constexpr ConfigControl ControlOf(const SettingOption& o) { return ControlNamed(o.control); }

// A background kind the option group can show: below the first kind is the
// first (black), above the last the last (random).
int16_t ShowableBackgroundKind(int16_t kind);

}  // namespace sarvel
