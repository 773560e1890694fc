// The headless platform of the tests: the off-screen host's services made
// observable and scriptable, so that tests drive the real core without a
// window system. System calls are recorded in order; the program's end is
// thrown as ProgramEnded instead of ending the process.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "frontends/offscreen/native_files.h"
#include "frontends/offscreen/offscreen_platform.h"
#include "resources/embedded_resources.h"

namespace sarvel::headless {

// Records each call as text, e.g. "SetScreenSaverActive(0)", and keeps
// the state a real system would: how often the cursor was hidden and shown,
// the screen-saver flags, the preview hosts' windows.
class System : public SaverSystem {
 public:
  void SetScreenSaverActive(bool active) override {
    Record("SetScreenSaverActive", {active});
    screensaver_active = active;
  }
  void SetSaverRunning(bool running) override {
    Record("SetSaverRunning", {running});
    screensaver_running = running;
  }
  void SetCursorHidden(bool hidden) override {
    Record("SetCursorHidden", {hidden});
    cursor_count += hidden ? -1 : 1;
  }
  PixelSize PreviewHostSize(WindowHandle host) override {
    Record("PreviewHostSize", {host});
    const auto it = windows.find(host);
    return it == windows.end() ? PixelSize{} : it->second;
  }
  void EmbedInPreviewHost(WindowHandle window, WindowHandle host) override {
    Record("EmbedInPreviewHost", {window, host});
  }
  void ShowInPreviewHost(WindowHandle window, int32_t width, int32_t height) override {
    Record("ShowInPreviewHost", {window, width, height});
  }
  bool KeepOnTop(WindowHandle window, bool on_top, bool activate) override {
    Record("KeepOnTop", {window, on_top, activate});
    return true;
  }
  bool SaverHasOwnPassword() override {
    Record("SaverHasOwnPassword", {});
    return own_password;
  }
  void ChangeSaverPassword(WindowHandle owner) override { Record("ChangeSaverPassword", {owner}); }
  bool VerifySaverPassword(WindowHandle window) override;
  SystemDescription DescribeSystem() override {
    Record("DescribeSystem", {});
    return description;
  }

  std::vector<std::string> calls;
  int cursor_count = 0;  // each hide counts down, each show up
  bool screensaver_active = true;
  bool screensaver_running = false;
  // The client areas of the windows that exist.
  std::map<WindowHandle, PixelSize> windows;
  // A system of the NT family: the session's locker owns the password.
  bool own_password = false;
  SystemDescription description{"Windows NT", 10, 0, 19045, ""};
  // Answers of the password check, used in order; true once exhausted.
  std::vector<bool> password_answers;
  // Calls that fail with a run-time failure (Invalid procedure call), by
  // their recorded text, e.g. "SetCursorHidden(0)": how many more times, -1
  // for every time. A failing call is recorded but changes nothing.
  std::map<std::string, int> failing_calls;

 private:
  void Record(const char* name, std::initializer_list<int64_t> args);
};

// Settings in memory that record their writes; can be told to fail from the
// n-th write on.
class MemoryStore : public MapStore {
 public:
  void Write(const std::string& app, const std::string& section, const std::string& key,
             const std::string& text) override;

  std::vector<std::string> writes;  // "key=text" in order
  int fail_writes_after = -1;       // -1: never fail
};

class HeadlessProcess : public Process {
 public:
  bool AnotherInstanceRunning() override { return another_instance; }
  [[noreturn]] void EndProgram() override;
  [[noreturn]] void FatalError(const std::string& message) override;
  void Beep() override { ++beeps; }
  void ResetMousePointer() override { ++pointer_resets; }

  bool another_instance = false;
  int ends = 0;
  int beeps = 0;
  int pointer_resets = 0;
};

// Thrown by FatalError.
struct FatalStop {
  std::string message;
};

// A form that only records what happens to it; the stand-in for forms whose
// windows a test does not care about.
class RecordingForm : public Form {
 public:
  RecordingForm(std::string name, WindowHandle handle, std::vector<std::string>& log)
      : Form(std::move(name)), handle_(handle), log_(log) {}
  WindowHandle handle() const override { return handle_; }

  std::function<void()> on_load;
  std::function<bool()> on_unload;

 protected:
  void CreateWindowHidden() override { log_.push_back("create " + name()); }
  void OnLoad() override;
  bool OnUnload() override;
  void ShowWindow(ShowMode mode) override;
  void DestroyWindow() override { log_.push_back("destroy " + name()); }

 private:
  WindowHandle handle_;
  std::vector<std::string>& log_;
};

// Every service of the headless platform in one place.
struct Platform {
  System system;
  MemoryStore store;
  FixedRegional regional;
  ManualClock clock;
  FixedExecutable exe;
  NativeFileSystem files;
  HeadlessProcess process;
  EmbeddedResources resources;

  PlatformServices services() {
    return PlatformServices{system, store, regional, clock, exe, files, process, resources};
  }
};

}  // namespace sarvel::headless
