// X11: a run of the native program on the X display. Opens the display,
// builds the X11 services and windows around one App, runs Main with the
// request, then runs the event loop until the last form is unloaded. The
// settings dialog starts GTK and runs GTK's loop instead; no other mode
// starts GTK.
#include "frontends/x11/run_x11.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/forms/app_forms.h"
#include "core/base/random.h"
#include "frontends/gtk/gtk_support.h"
#include "frontends/posix/ini_store.h"
#include "frontends/posix/override_store.h"
#include "frontends/posix/posix_files.h"
#include "frontends/posix/posix_services.h"
#include "frontends/x11/event_loop.h"
#include "frontends/x11/forms_x11.h"
#include "frontends/x11/x11_display.h"
#include "frontends/x11/x11_services.h"
#include "resources/embedded_resources.h"

namespace sarvel::x11 {
namespace {

constexpr char kNoDisplay[] =
    "sarvel: there is no X display to show the saver on (DISPLAY is not set or cannot be opened).\n"
    "Start it from a desktop session, or look at a frame without a display:\n"
    "  build/release/tools/render/sarvel-render --frames 300 scene.png\n";

constexpr char kNoDialogDisplay[] =
    "sarvel: there is no X display to show the settings dialog on (DISPLAY is not set or cannot be "
    "opened).\n"
    "The settings are kept in %s\n"
    "(keys %s), and options\n"
    "override them for one run: see 'sarvel --help'.\n";

constexpr char kNoOwnPassword[] =
    "Sarvel keeps no password of its own on X11: the screen locker asks for your login "
    "password.\n";

}  // namespace

int Run(const Invocation& invocation) {
  const Invocation* inv = &invocation;
  const RunRequest& request = inv->request;
  const bool hosted = inv->hosted;
  const bool configure = request.mode == RunRequest::Mode::kSettings;

  const std::unique_ptr<Display> display = Display::Open();
  if (configure && (!display || !StartGtk(*display))) {
    std::fprintf(stderr, kNoDialogDisplay, DefaultSettingsPath().c_str(), StoredKeyList().c_str());
    return 1;
  }
  if (!display) {
    std::fputs(kNoDisplay, stderr);
    return 1;
  }
  SceneWindowOptions scene;
  scene.scale = inv->scale;
  if (request.mode == RunRequest::Mode::kWindow) {
    scene.kind = SceneWindowOptions::Kind::kWindowed;
    scene.width = inv->window_width;
    scene.height = inv->window_height;
  } else if (hosted) {
    scene.kind = SceneWindowOptions::Kind::kHosted;
    scene.target = inv->window_id != 0 ? inv->window_id : display->VirtualRoot();
    if (!display->WindowExists(scene.target)) {
      std::fprintf(stderr, "sarvel: there is no window 0x%lx to draw into\n", scene.target);
      return 1;
    }
  }

  EventLoop loop(*display);
  X11System system(*display, hosted);
  LocaleRegional regional;
  IniFileStore ini(DefaultSettingsPath());
  OverrideStore store(ini, inv->overrides.StoreTexts(regional.DecimalSeparator()));
  MonotonicClock clock;
  PosixExecutable exe;
  PosixFileSystem files;
  X11Process process(*display, exe.full_path(), hosted);
  EmbeddedResources resources;
  DefaultRandom rng;
  FormFactoryX11 windows(*display, loop, process, resources, scene);
  AppForms forms(windows);
  App app(PlatformServices{system, store, regional, clock, exe, files, process, resources}, rng,
          forms);

  if (configure) {
    // The dialog's windows belong to GTK; its loop runs until the dialog is
    // unloaded or a signal asks the process to end.
    bool unloaded = false;
    app.forms.set_on_last_unloaded([&] {
      unloaded = true;
      g_main_context_wakeup(nullptr);
    });
    gtk::EndLoopsOnSignals();
    Guarded(process, [&] { app.Main(request); });
    if (app.forms.count() == 0) return 0;
    gtk::Run([&] { return unloaded; }, [&] { app.CollectUnloadedForms(); });
    return 0;
  }

  app.forms.set_on_last_unloaded([&] { loop.Quit(); });
  loop.set_on_terminate([&] {
    for (WindowClient* client : display->Clients()) {
      if (display->HasClient(client)) client->OnTerminateRequest();
    }
    // Nothing of ours refused to go, but a signal always ends the process.
    loop.Quit();
  });
  Guarded(process, [&] { app.Main(request); });
  if (request.mode == RunRequest::Mode::kPasswordChange) std::fputs(kNoOwnPassword, stdout);
  if (app.forms.count() == 0) return 0;
  loop.Run([&] { app.CollectUnloadedForms(); });
  return 0;
}

}  // namespace sarvel::x11
