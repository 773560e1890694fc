// The system's screen-saver activation, for the end-to-end tests. A process
// keeps the value it read first, so each look at it needs a fresh process:
//   screensaver_flag      prints 1 or 0; the exit status is that value
//   screensaver_flag on   switches it on for this session and in the user
//                         profile; exit status 1
// Exit status 2: the system refused the call.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wcscmp(argv[1], L"on") == 0) {
    // A value set for the session alone would hide the profile's: set both.
    const bool set =
        SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0) &&
        SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_UPDATEINIFILE);
    return set ? 1 : 2;
  }
  BOOL active = FALSE;
  if (!SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) return 2;
  std::printf("%d\n", active ? 1 : 0);
  return active ? 1 : 0;
}
