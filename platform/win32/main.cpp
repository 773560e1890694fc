// Win32: the entry point of Sarvel.scr. Builds the real services and forms
// around one App, runs Main with the command line, then pumps messages until
// the last form is unloaded.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/random.h"
#include "platform/win32/forms_win32.h"
#include "platform/win32/guard.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_resources.h"
#include "platform/win32/win32_services.h"
#include "startup/app.h"

namespace sarvel::win32 {

std::string FatalMessage(const RuntimeFailure& f) {
  return "Sarvel: run-time error " + std::to_string(f.number()) + " (" + f.description() + ")";
}

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

int Run() {
  System system;
  RegistryStore store;
  UserRegional regional;
  SystemClock clock;
  ThisExecutable exe;
  Win32FileSystem files;
  ThisProcess process;
  ExecutableResources resources;
  DefaultRandom rng;
  FormFactoryWin32 factory;
  App app(PlatformServices{system, store, regional, clock, exe, files, process, resources}, rng, factory);
  factory.Attach(app);

  bool running = true;
  app.forms.set_on_last_unloaded([&] {
    running = false;
    PostQuitMessage(0);
  });
  Guarded(process, [&] { app.Main(ArgumentsOf(GetCommandLineW())); });
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
