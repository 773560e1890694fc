// Win32 runtime services: user32/kernel32/advapi32/version calls behind the
// core's interfaces. The password calls of mpr.dll and password.cpl exist
// only outside the NT family and are looked up at run time.
#include "frontends/win32/win32_services.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/base/failure.h"
#include "frontends/win32/text.h"

namespace sarvel::win32 {
namespace {

HWND AsHwnd(WindowHandle h) { return reinterpret_cast<HWND>(static_cast<intptr_t>(h)); }

std::wstring SettingsKeyPath(const std::string& app, const std::string& section) {
  return L"Software\\" + Widen(app) + L"\\" + Widen(section);
}

SYSTEMTIME ToSystemTime(const LocalTime& t) {
  SYSTEMTIME st{};
  st.wYear = WORD(t.year);
  st.wMonth = WORD(t.month);
  st.wDay = WORD(t.day);
  st.wHour = WORD(t.hour);
  st.wMinute = WORD(t.minute);
  st.wSecond = WORD(t.second);
  st.wMilliseconds = WORD(t.millisecond);
  return st;
}

}  // namespace

void System::SetScreenSaverActive(bool active) {
  ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? 1 : 0, nullptr, 0);
}

void System::SetSaverRunning(bool running) {
  // A running saver is announced with all bits set, as a true of the
  // 16-bit kind reads.
  ::SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running ? UINT(-1) : 0, nullptr, 0);
}

// The system counts: one ShowCursor(FALSE) for the run, one TRUE at its end.
void System::SetCursorHidden(bool hidden) { ::ShowCursor(hidden ? FALSE : TRUE); }

PixelSize System::PreviewHostSize(WindowHandle host) {
  RECT r{};
  if (!::GetClientRect(AsHwnd(host), &r)) return {};
  return {r.right, r.bottom};
}

// A child window of the host, owned by it; a child is no popup any more.
void System::EmbedInPreviewHost(WindowHandle window, WindowHandle host) {
  const HWND w = AsHwnd(window);
  // Style bits are a 32-bit value: keep them unsigned.
  const uint32_t style = uint32_t(::GetWindowLongPtrA(w, GWL_STYLE));
  ::SetWindowLongPtrA(w, GWL_STYLE, LONG_PTR((style | WS_CHILD) & ~uint32_t(WS_POPUP)));
  ::SetParent(w, AsHwnd(host));
  ::SetWindowLongPtrA(w, GWLP_HWNDPARENT, LONG_PTR(host));
}

void System::ShowInPreviewHost(WindowHandle window, int32_t width, int32_t height) {
  ::SetWindowPos(AsHwnd(window), HWND_TOP, 0, 0, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool System::KeepOnTop(WindowHandle window, bool on_top, bool activate) {
  const UINT flags = SWP_NOMOVE | SWP_NOSIZE | (activate ? 0 : SWP_NOACTIVATE);
  return ::SetWindowPos(AsHwnd(window), on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                        flags) != 0;
}

namespace {

// GetVersionExA with the record's size set to 148; false when it failed.
bool QueryVersion(OSVERSIONINFOA& v) {
  std::memset(&v, 0, sizeof v);
  v.dwOSVersionInfoSize = 148;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return ::GetVersionExA(&v) == 1;
#pragma GCC diagnostic pop
}

}  // namespace

// Outside the NT family; a query that failed counts as outside too.
bool System::SaverHasOwnPassword() {
  OSVERSIONINFOA v;
  return !(QueryVersion(v) && v.dwPlatformId == VER_PLATFORM_WIN32_NT);
}

// PwdChangePasswordA("SCRSAVE", owner, 0, 0) of mpr.dll.
void System::ChangeSaverPassword(WindowHandle owner) {
  using Fn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
  HMODULE mpr = LoadLibraryA("mpr.dll");
  if (!mpr) return;
  if (auto fn =
          reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordA"))))
    fn("SCRSAVE", AsHwnd(owner), 0, 0);
  FreeLibrary(mpr);
}

// VerifyScreenSavePwd of password.cpl; passed when there is none.
bool System::VerifySaverPassword(WindowHandle window) {
  using Fn = BOOL(WINAPI*)(HWND);
  HMODULE cpl = LoadLibraryA("password.cpl");
  if (!cpl) return true;  // no password provider: nothing to ask
  bool passed = true;
  if (auto fn =
          reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(cpl, "VerifyScreenSavePwd"))))
    passed = fn(AsHwnd(window)) != FALSE;
  FreeLibrary(cpl);
  return passed;
}

// One query; what a failed one leaves is zeros, as the record was.
SystemDescription System::DescribeSystem() {
  OSVERSIONINFOA v;
  QueryVersion(v);
  static_assert(sizeof v.szCSDVersion == 128);
  return DescriptionOf(v.dwPlatformId, v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber,
                       std::string_view(v.szCSDVersion, sizeof v.szCSDVersion));
}

std::string LPSTRToString(std::string_view s) {
  const size_t zero = s.find('\0');
  if (zero == std::string_view::npos) return {};
  return std::string(s.substr(0, zero));
}

SystemDescription DescriptionOf(uint32_t platform_id, uint32_t major, uint32_t minor,
                                uint32_t build, std::string_view csd) {
  static constexpr const char* kNames[] = {"Win32s", "Windows 9x", "Windows NT"};
  SystemDescription d;
  d.platform = platform_id < 3 ? kNames[platform_id] : "";
  d.major = major;
  d.minor = minor;
  d.build = build & 0xFFFFu;
  d.details = LPSTRToString(csd);
  return d;
}

std::string RegistryStore::Read(const std::string& app, const std::string& section,
                                const std::string& key, const std::string& default_text) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath(app, section).c_str(), 0, KEY_QUERY_VALUE,
                    &h) != ERROR_SUCCESS)
    return default_text;
  const std::wstring name = Widen(key);
  DWORD type = 0, bytes = 0;
  LSTATUS status = RegQueryValueExW(h, name.c_str(), nullptr, &type, nullptr, &bytes);
  std::string result = default_text;
  if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && bytes < (1u << 20)) {
    std::vector<wchar_t> buf(bytes / sizeof(wchar_t) + 1, L'\0');
    status = RegQueryValueExW(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                              &bytes);
    if (status == ERROR_SUCCESS) {
      size_t len = bytes / sizeof(wchar_t);
      while (len > 0 && buf[len - 1] == L'\0') --len;
      result = Narrow(std::wstring_view(buf.data(), len));
    }
  } else if (status == ERROR_SUCCESS) {
    result.clear();  // a value of another type reads as an empty text
  }
  RegCloseKey(h);
  return result;
}

void RegistryStore::Write(const std::string& app, const std::string& section,
                          const std::string& key, const std::string& text) {
  HKEY h = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath(app, section).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &h, nullptr) != ERROR_SUCCESS)
    Raise(Err::kPathFileAccess);
  const std::wstring value = Widen(text);
  const LSTATUS status =
      RegSetValueExW(h, Widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     DWORD((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(h);
  if (status != ERROR_SUCCESS) Raise(Err::kPathFileAccess);
}

void RegistryStore::DeleteApp(const std::string& app) {
  HKEY software = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, &software) != ERROR_SUCCESS)
    return;
  RegDeleteTreeW(software, Widen(app).c_str());
  RegDeleteKeyW(software, Widen(app).c_str());
  RegCloseKey(software);
}

uint32_t SystemClock::TickCount() { return ::GetTickCount(); }

LocalTime SystemClock::Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return LocalTime{st.wYear,   st.wMonth,  st.wDay,         st.wHour,
                   st.wMinute, st.wSecond, st.wMilliseconds};
}

std::string UserRegional::DecimalSeparator() {
  wchar_t buf[8] = L".";
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) <= 0) return ".";
  return Narrow(buf);
}

std::string UserRegional::ShortDate(const LocalTime& t) {
  const SYSTEMTIME st = ToSystemTime(t);
  wchar_t buf[128];
  if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, 128) <= 0) return {};
  return Narrow(buf);
}

std::string UserRegional::TimeOfDay(const LocalTime& t) {
  const SYSTEMTIME st = ToSystemTime(t);
  wchar_t buf[128];
  if (GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, 128) <= 0) return {};
  return Narrow(buf);
}

std::string ThisExecutable::FullPath() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), DWORD(buf.size()));
    if (n < buf.size()) return Narrow(std::wstring_view(buf.data(), n));
    if (buf.size() >= 32768) return Narrow(std::wstring_view(buf.data(), n));
    buf.resize(buf.size() * 2);
  }
}

std::string ThisExecutable::Folder() {
  const std::string path = FullPath();
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  // A drive root keeps its backslash ("C:\").
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

std::string ThisExecutable::FileTitle() {
  const std::string path = FullPath();
  const size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string ThisExecutable::Title() {
  const std::wstring path = Widen(FullPath());
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return "Sarvel";
  std::vector<uint8_t> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return "Sarvel";
  wchar_t* value = nullptr;
  UINT len = 0;
  if (VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                     reinterpret_cast<void**>(&value), &len) &&
      len > 1)
    return Narrow(std::wstring_view(value, len - 1));
  return "Sarvel";
}

Version ThisExecutable::FileVersion() {
  const std::wstring path = Widen(FullPath());
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<uint8_t> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
      !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) ||
      len < sizeof *info)
    return {};
  return Version{int(HIWORD(info->dwFileVersionMS)), int(LOWORD(info->dwFileVersionMS)),
                 int(HIWORD(info->dwFileVersionLS))};
}

std::string ThisExecutable::FallbackLogFolder() {
  wchar_t base[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) n = GetEnvironmentVariableW(L"APPDATA", base, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  const std::wstring folder = std::wstring(base, n) + L"\\Sarvel";
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return {};
  return Narrow(folder);
}

std::wstring InstanceMutexName(const std::wstring& exe_path) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a over the lower-cased path
  for (wchar_t c : exe_path) {
    hash ^= uint64_t(towlower(c));
    hash *= 1099511628211ull;
  }
  wchar_t buf[64];
  std::swprintf(buf, 64, L"Local\\Sarvel-%016llx", static_cast<unsigned long long>(hash));
  return buf;
}

ThisProcess::ThisProcess() {
  ThisExecutable exe;
  // Kept open for the life of the process; the system closes it at the end.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, InstanceMutexName(Widen(exe.FullPath())).c_str());
  another_instance_ = mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

void ThisProcess::EndProgram() { ExitProcess(0); }

void ThisProcess::FatalError(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  if (!GetEnvironmentVariableW(L"SARVEL_UNATTENDED", nullptr, 0)) {
    MessageBoxW(nullptr, Widen(message).c_str(), L"Sarvel", MB_OK | MB_ICONERROR | MB_TOPMOST);
  }
  ExitProcess(1);
}

void ThisProcess::Beep() { MessageBeep(MB_OK); }

void ThisProcess::ResetMousePointer() {
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

}  // namespace sarvel::win32
