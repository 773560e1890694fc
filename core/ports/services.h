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

// What the program asks of the system around a run: the screen-saver
// state, the cursor, the preview's place in its host window, staying on
// top, the saver password and the version query. The start-up procedures
// make one call per numbered step, so a failing call is reported at its
// own line.
class SystemApi {
 public:
  virtual ~SystemApi() = default;
  // Whether the system may start a screen saver when the user is idle.
  virtual void SetScreenSaverActive(bool active) = 0;
  // Tells the system that a screen saver runs now, or no longer runs.
  virtual void SetSaverRunning(bool running) = 0;
  // Counts the cursor up (show) or down; it shows while the count is 0 or more.
  virtual void ShowCursor(bool show) = 0;
  // The client area of `window`; `rect` stays as it is when there is none.
  virtual void GetClientArea(WindowHandle window, ClientRect& rect) = 0;
  // A window's style bits (kWsChild and the system's others).
  virtual int32_t WindowStyle(WindowHandle window) = 0;
  virtual void SetWindowStyle(WindowHandle window, int32_t style) = 0;
  virtual void SetParent(WindowHandle child, WindowHandle parent) = 0;
  virtual void SetOwner(WindowHandle window, WindowHandle owner) = 0;
  // Shows `window` at the top-left corner of its parent, `width` x `height`,
  // without activating it or changing its place in the stacking order.
  virtual void ShowInParent(WindowHandle window, int32_t width, int32_t height) = 0;
  // Keeps `window` above all others, or lets it go back among them, and
  // activates it when asked to. False when the system refused.
  virtual bool SetTopMost(WindowHandle window, bool topmost, bool activate) = 0;
  // The saver password exists outside the NT family only: the system's
  // dialog that changes it, and the check before a run ends (true: passed).
  virtual void ChangeSaverPassword(WindowHandle owner) = 0;
  virtual bool VerifySaverPassword(WindowHandle window) = 0;
  // Fills `info` (whose size the caller sets); 1 on success.
  virtual int32_t QueryVersion(OsVersion& info) = 0;
};

// Declares every call of SystemApi in a class that implements them all, so
// that the list is kept here alone.
#define SARVEL_SYSTEM_API_OVERRIDES                                               \
  void SetScreenSaverActive(bool active) override;                                \
  void SetSaverRunning(bool running) override;                                    \
  void ShowCursor(bool show) override;                                            \
  void GetClientArea(WindowHandle window, ClientRect& rect) override;             \
  int32_t WindowStyle(WindowHandle window) override;                              \
  void SetWindowStyle(WindowHandle window, int32_t style) override;               \
  void SetParent(WindowHandle child, WindowHandle parent) override;               \
  void SetOwner(WindowHandle window, WindowHandle owner) override;                \
  void ShowInParent(WindowHandle window, int32_t width, int32_t height) override; \
  bool SetTopMost(WindowHandle window, bool topmost, bool activate) override;     \
  void ChangeSaverPassword(WindowHandle owner) override;                          \
  bool VerifySaverPassword(WindowHandle window) override;                         \
  int32_t QueryVersion(OsVersion& info) override

// The style bit of a window that lives inside another one.
inline constexpr int32_t kWsChild = 0x40000000;

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
