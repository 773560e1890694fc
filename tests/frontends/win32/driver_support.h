// What the Windows end-to-end drivers share: counted checks, a message pump,
// the saver's settings in the registry, saver processes started and ended
// from outside, and their windows. Every wait is bounded.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sarvel::e2e {

inline int g_failed = 0;

inline void Check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++g_failed;
}

// The summary line; the driver's exit status.
inline int Report() {
  std::printf(g_failed ? "%d check(s) failed\n" : "all checks passed\n", g_failed);
  return g_failed ? 1 : 0;
}

// Handles our own windows' messages for `ms` (at least once).
inline void Pump(DWORD ms) {
  const DWORD until = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (ms) Sleep(5);
  } while (int32_t(until - GetTickCount()) > 0);
}

// Pumps until `done` is true or `ms` have passed; true when it came true.
// It looks every millisecond or so: races are tried the moment a window
// shows.
template <class Condition>
bool PumpUntil(DWORD ms, Condition done) {
  const DWORD until = GetTickCount() + ms;
  while (!done()) {
    if (int32_t(until - GetTickCount()) <= 0) return false;
    Pump(0);
    Sleep(1);
  }
  return true;
}

inline std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring out(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
  return out;
}

inline std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// Wine hands a Unix path through unchanged; its Z: drive is the root.
inline std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

// ---------------------------------------------------------------- registry

inline constexpr wchar_t kSettingsKey[] = L"Software\\Sarvel\\Settings";
using Settings = std::vector<std::pair<std::wstring, std::wstring>>;

// Every stored setting, given in this order: maxL, SpeedL, Date, Time,
// Restart, rTime, Background, picture_file.
inline Settings EverySetting(const std::array<std::wstring, 8>& values) {
  static const wchar_t* const kKeys[] = {L"maxL",    L"SpeedL", L"Date",       L"Time",
                                         L"Restart", L"rTime",  L"Background", L"PicFile"};
  Settings all;
  for (size_t i = 0; i < values.size(); ++i) all.emplace_back(kKeys[i], values[i]);
  return all;
}

// The stored settings: these values, alone unless `clear` is false.
inline void WriteSettings(const Settings& values, bool clear = true) {
  if (clear) RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    Check(false, "the settings key can be created");
    return;
  }
  for (const auto& [name, text] : values)
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

inline std::wstring ReadSetting(const std::wstring& name) {
  wchar_t buf[512] = {};
  DWORD size = sizeof buf;
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name.c_str(), RRF_RT_REG_SZ, nullptr, buf,
                   &size) != ERROR_SUCCESS)
    return L"<missing>";
  return buf;
}

inline void ExpectSettings(const Settings& values, const std::string& when) {
  for (const auto& [name, text] : values) {
    const std::wstring got = ReadSetting(name);
    Check(got == text, when + ": " + Narrow(name) + " is \"" + Narrow(got) + "\", expected \"" +
                           Narrow(text) + "\"");
  }
}

// ---------------------------------------------------------------- saver processes

// A process of the saver; one still running at the end is killed.
struct SaverProcess {
  PROCESS_INFORMATION pi{};
  bool started = false;

  SaverProcess(const std::wstring& scr, const std::wstring& args) {
    std::wstring command = L"\"" + scr + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    started = CreateProcessW(scr.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &si, &pi);
  }
  ~SaverProcess() {
    if (!started) return;
    if (Running()) {
      TerminateProcess(pi.hProcess, 99);
      WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  SaverProcess(const SaverProcess&) = delete;
  SaverProcess& operator=(const SaverProcess&) = delete;

  bool Running() const { return started && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
  // Waits up to `ms`, pumping our own messages; true when it ended.
  bool EndsWithin(DWORD ms) const {
    return started && PumpUntil(ms, [&] { return !Running(); });
  }
};

struct WindowsFound {
  DWORD pid;
  bool top_level;
  std::vector<HWND> windows;
};
inline BOOL CALLBACK CollectWindowOf(HWND hwnd, LPARAM lp) {
  auto* f = reinterpret_cast<WindowsFound*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == f->pid && (!f->top_level || IsWindowVisible(hwnd))) f->windows.push_back(hwnd);
  return TRUE;
}

// The windows of process `pid`: the visible top-level ones, or the children
// of `parent`.
inline std::vector<HWND> WindowsOf(DWORD pid, HWND parent = nullptr) {
  WindowsFound found{pid, parent == nullptr, {}};
  if (parent)
    EnumChildWindows(parent, CollectWindowOf, reinterpret_cast<LPARAM>(&found));
  else
    EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

inline std::vector<HWND> VisibleWindows(const SaverProcess& p) {
  return WindowsOf(p.pi.dwProcessId);
}

// The first visible window of `p` within `ms`; nullptr when none came or
// the process ended.
inline HWND WaitForWindow(const SaverProcess& p, DWORD ms) {
  HWND found = nullptr;
  PumpUntil(ms, [&] {
    if (!p.Running()) return true;
    const std::vector<HWND> w = VisibleWindows(p);
    if (!w.empty()) found = w.front();
    return found != nullptr;
  });
  return found;
}

}  // namespace sarvel::e2e
