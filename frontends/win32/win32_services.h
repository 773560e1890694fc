// Win32: the runtime services of the core on the real system: screen-saver
// system calls, the registry store, clock and regional formats, the
// executable's version resource, the single-instance mutex and the end of the
// process.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ports/clock.h"
#include "core/ports/executable_info.h"
#include "core/ports/process.h"
#include "core/ports/regional.h"
#include "core/ports/saver_system.h"
#include "core/ports/settings_store.h"
#include "frontends/win32/win32_files.h"

namespace sarvel::win32 {

// The system around a run: SystemParametersInfo for the screen saver's
// state, the counting ShowCursor, the preview host's window by its handle,
// the z-order, and the saver password of mpr.dll and password.cpl, which
// exist outside the NT family only (GetVersionExA tells).
class System : public SaverSystem {
 public:
  void SetScreenSaverActive(bool active) override;
  void SetSaverRunning(bool running) override;
  void SetCursorHidden(bool hidden) override;
  PixelSize PreviewHostSize(WindowHandle host) override;
  void EmbedInPreviewHost(WindowHandle window, WindowHandle host) override;
  void ShowInPreviewHost(WindowHandle window, int32_t width, int32_t height) override;
  bool KeepOnTop(WindowHandle window, bool on_top, bool activate) override;
  bool SaverHasOwnPassword() override;
  void ChangeSaverPassword(WindowHandle owner) override;
  bool VerifySaverPassword(WindowHandle window) override;
  SystemDescription DescribeSystem() override;
};

// The part of `s` before its first zero character; empty when there is none.
std::string LPSTRToString(std::string_view s);

// What GetVersionExA reported, as the error protocol describes the system:
// the platform's name by its id (0 "Win32s", 1 "Windows 9x", 2 "Windows NT",
// any other none), the low 16 bits of the build, the service pack cut at
// its first zero.
SystemDescription DescriptionOf(uint32_t platform_id, uint32_t major, uint32_t minor,
                                uint32_t build, std::string_view csd);

// HKEY_CURRENT_USER\Software\<app>\<section>, one REG_SZ value per key.
class RegistryStore : public SettingsStore {
 public:
  std::string Read(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& default_text) override;
  void Write(const std::string& app, const std::string& section, const std::string& key,
             const std::string& text) override;
  // Removes HKEY_CURRENT_USER\Software\<app> with everything below it.
  static void DeleteApp(const std::string& app);
};

class SystemClock : public Clock {
 public:
  uint32_t TickCount() override;
  LocalTime Now() override;
};

class UserRegional : public Regional {
 public:
  std::string DecimalSeparator() override;
  std::string ShortDate(const LocalTime& t) override;
  std::string TimeOfDay(const LocalTime& t) override;
};

class ThisExecutable : public ExecutableInfo {
 public:
  std::string Folder() override;
  std::string FileTitle() override;
  std::string Title() override;
  Version FileVersion() override;
  // %LOCALAPPDATA%\Sarvel, created when needed.
  std::string FallbackLogFolder() override;
  std::string FullPath();
};

// Holds a named mutex derived from the executable's full path from process
// start on, so that every instance in every mode can be seen by the others.
class ThisProcess : public Process {
 public:
  ThisProcess();
  bool AnotherInstanceRunning() override { return another_instance_; }
  [[noreturn]] void EndProgram() override;
  [[noreturn]] void FatalError(const std::string& message) override;
  void Beep() override;
  void ResetMousePointer() override;

 private:
  bool another_instance_ = false;
};

// The mutex name for an executable path (case-insensitive, no backslashes).
std::wstring InstanceMutexName(const std::wstring& exe_path);

}  // namespace sarvel::win32
