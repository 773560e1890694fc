// What the portable core needs from the operating system: the screen-saver
// system calls, the settings store, clock and regional formats, the
// executable's identity, files, and the life of the process. Each platform
// (frontends/win32, x11, offscreen) fills these interfaces; nothing above this line
// includes a platform header.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sarvel {

// A window handle as a number (handles fit 32 bits on every Windows).
using WindowHandle = int64_t;

// The OSVERSIONINFOA fields the program reads.
struct OsVersion {
  uint32_t size = 0;  // set by the caller before the query
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t platform_id = 0;
  std::array<char, 128> csd{};  // additional text, zero-terminated if shorter
};

// Platform ids the version query reports.
inline constexpr uint32_t kPlatformWin32s = 0;
inline constexpr uint32_t kPlatformWin9x = 1;
inline constexpr uint32_t kPlatformWinNT = 2;
// Reported by our non-Windows front ends.
inline constexpr uint32_t kPlatformPosix = 0x5058;

struct ClientRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// Screen-saver and window calls, with the arguments the program passes.
class SystemApi {
 public:
  virtual ~SystemApi() = default;
  // pvParam is always null and fWinIni 0.
  virtual void SystemParametersInfoA(uint32_t action, int32_t param) = 0;
  virtual void ShowCursor(bool show) = 0;
  virtual void GetClientRect(WindowHandle window, ClientRect& rect) = 0;
  virtual int32_t GetWindowLongA(WindowHandle window, int32_t index) = 0;
  virtual void SetWindowLongA(WindowHandle window, int32_t index, int64_t value) = 0;
  virtual void SetParent(WindowHandle child, WindowHandle parent) = 0;
  virtual int32_t SetWindowPos(WindowHandle window, WindowHandle insert_after, int32_t x, int32_t y,
                               int32_t cx, int32_t cy, uint32_t flags) = 0;
  // The password calls exist outside the NT family only; they are looked up
  // at run time. PwdChangePasswordA("SCRSAVE", owner, 0, 0).
  virtual void PwdChangePasswordA(WindowHandle owner) = 0;
  virtual bool VerifyScreenSavePwd(WindowHandle window) = 0;
  // Returns the call's result (1 on success) and fills `info`.
  virtual int32_t GetVersionExA(OsVersion& info) = 0;
};

inline constexpr uint32_t kSpiSetScreenSaveActive = 17;
inline constexpr uint32_t kSpiScreenSaverRunning = 97;
inline constexpr int32_t kGwlStyle = -16;
inline constexpr int32_t kGwlHwndParent = -8;
inline constexpr int32_t kWsChild = 0x40000000;
inline constexpr WindowHandle kHwndTop = 0;
inline constexpr WindowHandle kHwndTopMost = -1;
inline constexpr WindowHandle kHwndNoTopMost = -2;
inline constexpr uint32_t kSwpNoSize = 0x0001;
inline constexpr uint32_t kSwpNoMove = 0x0002;
inline constexpr uint32_t kSwpNoZOrder = 0x0004;
inline constexpr uint32_t kSwpNoActivate = 0x0010;
inline constexpr uint32_t kSwpShowWindow = 0x0040;

// Per-user text values addressed by application, section and key. Both
// operations raise a RuntimeFailure when the store cannot be used.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string Read(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& default_text) = 0;
  virtual void Write(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& text) = 0;
};

struct LocalTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since the system started, wrapping at 2^32.
  virtual uint32_t TickCount() = 0;
  virtual LocalTime Now() = 0;
};

// The user's regional settings.
class Regional {
 public:
  virtual ~Regional() = default;
  virtual std::string DecimalSeparator() = 0;
  virtual std::string ShortDate(const LocalTime& t) = 0;
  virtual std::string TimeOfDay(const LocalTime& t) = 0;
};

struct Version {
  int major = 0;
  int minor = 0;
  int revision = 0;
};

// The running executable: where it lives, its name and its version resource.
class ExecutableInfo {
 public:
  virtual ~ExecutableInfo() = default;
  virtual std::string Folder() = 0;     // without a trailing separator, unless a root
  virtual std::string FileTitle() = 0;  // file name without its extension
  virtual std::string Title() = 0;      // the application title
  virtual Version FileVersion() = 0;
  // A folder of the user's own that takes the error log whenever it cannot
  // be opened or written beside the executable (a read-only folder or file,
  // a folder of its name, a lock held by another program, a full disk), so
  // that no report is lost; empty when the platform has none.
  virtual std::string FallbackLogFolder() { return {}; }
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Directory search admitting plain files only (read-only and archive files
  // included; hidden and system files and folders excluded); wildcards in the
  // last part take part. Raises when the search cannot be carried out.
  virtual bool FindPlainFile(const std::string& pattern) = 0;
  // Opens for appending (creating), writes, closes. Raises on failure.
  virtual void AppendText(const std::string& path, const std::string& text) = 0;
  // Whole file; raises Err::kFileNotFound or Err::kPathFileAccess.
  virtual std::vector<uint8_t> ReadFile(const std::string& path) = 0;
  virtual void CloseAllFiles() = 0;
  virtual char PathSeparator() const = 0;
};

// The life of the process.
class Process {
 public:
  virtual ~Process() = default;
  virtual bool AnotherInstanceRunning() = 0;
  // Ends the program at once: files closed, no further handler runs.
  [[noreturn]] virtual void EndProgram() = 0;
  // A failure nobody handled: tell the user and stop.
  [[noreturn]] virtual void FatalError(const std::string& message) = 0;
  virtual void Beep() = 0;
  virtual void ResetMousePointer() = 0;
};

// Thrown by a platform's EndProgram where the process must not really end
// (the headless platform in tests); the driver catches it at the top.
struct ProgramEnded {
  int exit_code = 0;
};

}  // namespace sarvel
