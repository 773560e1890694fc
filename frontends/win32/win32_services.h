// Win32: the runtime services of the core on the real system: screen-saver
// system calls, the registry store, clock and regional formats, the
// executable's version resource, the single-instance mutex and the end of the
// process.
#pragma once

#include <string>

#include "core/ports/services.h"
#include "frontends/win32/win32_files.h"

namespace sarvel::win32 {

class System : public SystemApi {
 public:
  void SetScreenSaverActive(bool active) override;
  void SetSaverRunning(bool running) override;
  void ShowCursor(bool show) override;
  void GetClientArea(WindowHandle window, ClientRect& rect) override;
  int32_t WindowStyle(WindowHandle window) override;
  void SetWindowStyle(WindowHandle window, int32_t style) override;
  void SetParent(WindowHandle child, WindowHandle parent) override;
  void SetOwner(WindowHandle window, WindowHandle owner) override;
  void ShowInParent(WindowHandle window, int32_t width, int32_t height) override;
  bool SetTopMost(WindowHandle window, bool topmost, bool activate) override;
  // PwdChangePasswordA("SCRSAVE", owner, 0, 0) of mpr.dll.
  void ChangeSaverPassword(WindowHandle owner) override;
  // VerifyScreenSavePwd of password.cpl; passed when there is none.
  bool VerifySaverPassword(WindowHandle window) override;
  int32_t QueryVersion(OsVersion& info) override;
};

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
