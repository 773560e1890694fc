// Win32: the child-window ids of the settings dialog and the about box, and
// their window classes, shared by the views and by the end-to-end driver
// that finds the controls from outside the process.
#pragma once

#include "app/dialogs/config_controls.h"
#include "app/dialogs/info_controls.h"

namespace sarvel::win32 {

inline constexpr wchar_t kConfigWindowClass[] = L"SarvelConfig";
inline constexpr wchar_t kInfoWindowClass[] = L"SarvelInfo";

// OK carries IDOK so that Enter presses it; the others follow the tab order.
inline constexpr int kIdOk = 1;
inline constexpr int ConfigControlId(ConfigControl c) {
  return c == ConfigControl::kOkButton ? kIdOk : 1000 + int(Index(c));
}
inline constexpr int InfoControlId(InfoControl c) {
  return c == InfoControl::kOk ? kIdOk : 2000 + int(Index(c));
}

}  // namespace sarvel::win32
