// Win32: the entry point of Sarvel.scr. Builds the real services and windows
// around one App, runs Main with the request the display settings' switch
// makes, then pumps messages until the last form is unloaded.
#include <windows.h>

#include <memory>
#include <string>

#include "app/app.h"
#include "app/forms/app_forms.h"
#include "app/run_request.h"
#include "core/base/random.h"
#include "frontends/win32/forms_win32.h"
#include "frontends/win32/guard.h"
#include "frontends/win32/text.h"
#include "frontends/win32/win32_resources.h"
#include "frontends/win32/win32_services.h"

namespace sarvel::win32 {

// The text after the program's own name, as the system passed it.
std::string ArgumentsOf(const wchar_t* command_line) {
  const wchar_t* p = command_line;
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  return Narrow(p);
}

// The manifest asks for per-monitor DPI awareness (v2); where it is not
// read (a renamed or repackaged file), the same is asked for here.
void BecomeDpiAware() {
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  const auto set_context = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2; it fails harmlessly when the
  // manifest already set the awareness.
  if (set_context) set_context(reinterpret_cast<HANDLE>(intptr_t(-4)));
}

int Run() {
  BecomeDpiAware();
  System system;
  RegistryStore store;
  UserRegional regional;
  SystemClock clock;
  ThisExecutable exe;
  Win32FileSystem files;
  ThisProcess process;
  ExecutableResources resources;
  DefaultRandom rng;
  FormFactoryWin32 windows(process, resources);
  AppForms forms(windows);
  App app(PlatformServices{system, store, regional, clock, exe, files, process, resources}, rng,
          forms);

  bool running = true;
  app.forms.set_on_last_unloaded([&] {
    running = false;
    PostQuitMessage(0);
  });
  Guarded(process, [&] { app.Main(ParseSaverSwitch(ArgumentsOf(GetCommandLineW()))); });
  if (app.forms.count() == 0) return 0;
  MSG msg;
  while (running && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    app.CollectUnloadedForms();
  }
  return 0;
}

}  // namespace sarvel::win32

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return sarvel::win32::Run(); }
