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
  SARVEL_SYSTEM_API_OVERRIDES;
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
