// The system's screen-saver activation as a fresh process sees it, through
// screensaver_flag.exe beside the calling program (a process keeps the value
// it read first, so the caller cannot look itself).
#pragma once

#include <windows.h>

#include <string>

namespace sarvel::e2e {

// Runs screensaver_flag.exe with `argument` and returns its exit status:
// 1 on, 0 off, 2 refused; -1 when it could not be run.
inline int RunScreenSaverFlag(const std::wstring& argument) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe = self;
  exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"screensaver_flag.exe";
  std::wstring command = L"\"" + exe + L"\" " + argument;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return -1;
  DWORD status = DWORD(-1);
  if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(pi.hProcess, &status);
  } else {
    TerminateProcess(pi.hProcess, 3);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return int(status);
}

inline int ScreenSaverActive() { return RunScreenSaverFlag(L""); }
// Switches activation on, so that a test starts from a known state; true
// when a fresh process then sees it on.
inline bool SwitchScreenSaverOn() {
  return RunScreenSaverFlag(L"on") == 1 && ScreenSaverActive() == 1;
}

}  // namespace sarvel::e2e
