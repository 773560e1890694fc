// The services of the off-screen host: no window system, settings in memory,
// a clock that the driver advances, fixed regional formats and the real file
// system. The program runs on them as on any platform; the end of a run is
// thrown as ProgramEnded for the driver to catch.
#pragma once

#include <map>
#include <string>

#include "app/app.h"
#include "core/ports/clock.h"
#include "core/ports/executable_info.h"
#include "core/ports/process.h"
#include "core/ports/regional.h"
#include "core/ports/saver_system.h"
#include "core/ports/settings_store.h"
#include "frontends/offscreen/native_files.h"
#include "resources/embedded_resources.h"

namespace sarvel::headless {

// No windows but the program's own in memory: the screen-saver flags and the
// cursor are kept, there is no host to embed in, no password of its own.
class OffscreenSystem : public SaverSystem {
 public:
  void SetScreenSaverActive(bool active) override { screensaver_active = active; }
  void SetSaverRunning(bool running) override { screensaver_running = running; }
  void SetCursorHidden(bool hidden) override { cursor_hidden = hidden; }
  PixelSize PreviewHostSize(WindowHandle) override { return {}; }
  void EmbedInPreviewHost(WindowHandle, WindowHandle) override {}
  void ShowInPreviewHost(WindowHandle, int32_t, int32_t) override {}
  bool KeepOnTop(WindowHandle, bool, bool) override { return true; }
  bool SaverHasOwnPassword() override { return false; }
  void ChangeSaverPassword(WindowHandle) override {}
  bool VerifySaverPassword(WindowHandle) override { return true; }
  SystemDescription DescribeSystem() override { return {"Linux", 1, 0, 0, ""}; }

  bool cursor_hidden = false;
  bool screensaver_active = true;
  bool screensaver_running = false;
};

// Settings in memory, by key; nothing outlives the run.
class MapStore : public SettingsStore {
 public:
  std::string Read(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& default_text) override;
  void Write(const std::string& app, const std::string& section, const std::string& key,
             const std::string& text) override;

  std::map<std::string, std::string> values;  // by key
};

// A clock the driver sets and advances.
class ManualClock : public Clock {
 public:
  uint32_t TickCount() override { return tick; }
  LocalTime Now() override { return now; }
  // The time of day moves on by `ms` (the date stays).
  void AdvanceTimeOfDay(int32_t ms);
  uint32_t tick = 1000;
  LocalTime now{2026, 12, 6, 22, 37, 14, 0};
};

class FixedRegional : public Regional {
 public:
  std::string DecimalSeparator() override { return decimal_separator; }
  std::string ShortDate(const LocalTime& t) override;  // dd.mm.yyyy or m/d/yyyy
  std::string TimeOfDay(const LocalTime& t) override;  // HH:MM:SS
  std::string decimal_separator = ".";
  bool day_first = false;
};

class FixedExecutable : public ExecutableInfo {
 public:
  std::string Folder() override { return folder; }
  std::string FileTitle() override { return file_title; }
  std::string Title() override { return "Sarvel"; }
  Version FileVersion() override { return version; }
  std::string FallbackLogFolder() override { return fallback_folder; }
  std::string folder = "/tmp";
  std::string fallback_folder;  // none by default; an existing folder when set
  std::string file_title = "Sarvel";
  Version version{2, 0, 457};
};

// The end of the program is thrown to the driver; a fatal error is printed
// and ends the process with status 1.
class OffscreenProcess : public Process {
 public:
  bool AnotherInstanceRunning() override { return false; }
  [[noreturn]] void EndProgram() override { throw ProgramEnded{}; }
  [[noreturn]] void FatalError(const std::string& message) override;
  void Beep() override {}
  void ResetMousePointer() override {}
};

struct OffscreenPlatform {
  OffscreenSystem system;
  MapStore store;
  FixedRegional regional;
  ManualClock clock;
  FixedExecutable exe;
  NativeFileSystem files;
  OffscreenProcess process;
  EmbeddedResources resources;

  PlatformServices services() {
    return PlatformServices{system, store, regional, clock, exe, files, process, resources};
  }
};

}  // namespace sarvel::headless
