// Wayland: a run of the native program on the compositor. Connects, builds
// the services and windows around one App, runs Main with the request, then
// runs the event loop until the last form is unloaded or the compositor is
// gone. The settings dialog needs no connection of ours: GTK makes its own
// and runs its loop instead.
#include "frontends/wayland/run_wayland.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/app.h"
#include "app/forms/app_forms.h"
#include "app/scene/scene_form.h"
#include "core/base/random.h"
#include "core/report/guard.h"
#include "frontends/gtk/gtk_support.h"
#include "frontends/posix/ini_store.h"
#include "frontends/posix/override_store.h"
#include "frontends/posix/posix_files.h"
#include "frontends/posix/posix_services.h"
#include "frontends/wayland/connection.h"
#include "frontends/wayland/event_loop.h"
#include "frontends/wayland/forms_wayland.h"
#include "frontends/wayland/screens.h"
#include "frontends/wayland/wayland_services.h"
#include "resources/embedded_resources.h"

namespace sarvel::wayland {
namespace {

constexpr char kNoCompositor[] =
    "sarvel: cannot show the saver on Wayland: %s.\n"
    "Start it from a Wayland session, or with --x11 on an X display.\n";

constexpr char kNoDialogDisplay[] =
    "sarvel: GTK cannot open the display to show the settings dialog on.\n"
    "The settings are kept in %s\n"
    "(keys %s), and options\n"
    "override them for one run: see 'sarvel --help'.\n";

constexpr char kNoOwnPassword[] =
    "Sarvel keeps no password of its own on Wayland: the screen locker asks for your login "
    "password.\n";

// What every run builds, with or without a connection of ours.
struct Services {
  explicit Services(const Invocation& invocation, Connection* connection)
      : system(connection),
        ini(DefaultSettingsPath()),
        store(ini, invocation.overrides.StoreTexts(regional.DecimalSeparator())),
        process(exe.full_path()) {}

  PlatformServices Platform() {
    return {system, store, regional, clock, exe, files, process, resources};
  }

  WaylandSystem system;
  LocaleRegional regional;
  IniFileStore ini;
  OverrideStore store;
  MonotonicClock clock;
  PosixExecutable exe;
  PosixFileSystem files;
  WaylandProcess process;
  EmbeddedResources resources;
  DefaultRandom rng;
};

int RunDialogs(const Invocation& invocation) {
  if (!gtk::Start()) {
    std::fprintf(stderr, kNoDialogDisplay, DefaultSettingsPath().c_str(), StoredKeyList().c_str());
    return 1;
  }
  Services s(invocation, nullptr);
  FormFactoryWayland windows(nullptr, nullptr, nullptr, s.process, s.resources, {});
  AppForms forms(windows);
  App app(s.Platform(), s.rng, forms);
  // The dialog's windows belong to GTK; its loop runs until the dialog is
  // unloaded or a signal asks the process to end.
  bool unloaded = false;
  app.forms.set_on_last_unloaded([&] {
    unloaded = true;
    g_main_context_wakeup(nullptr);
  });
  gtk::EndLoopsOnSignals();
  Guarded(s.process, "sarvel", [&] { app.Main(invocation.request); });
  if (app.forms.count() == 0) return 0;
  gtk::Run([&] { return unloaded; }, [&] { app.CollectUnloadedForms(); });
  return 0;
}

SceneWindowOptions SceneOptions(const Invocation& invocation) {
  SceneWindowOptions scene;
  if (invocation.request.mode == RunRequest::Mode::kWindow) {
    scene.kind = SceneWindowOptions::Kind::kWindowed;
    scene.width = invocation.window_width;
    scene.height = invocation.window_height;
  }
  return scene;
}

}  // namespace

int Run(const Invocation& invocation) {
  const RunRequest& request = invocation.request;
  if (request.mode == RunRequest::Mode::kSettings) return RunDialogs(invocation);

  std::string error;
  const std::unique_ptr<Connection> connection = Connection::Open(error);
  if (!connection) {
    std::fprintf(stderr, kNoCompositor, error.c_str());
    return 1;
  }
  EventLoop loop(*connection);
  Screens screens(connection->outputs());
  screens.TakeChange();  // the outputs there are at the start change nothing
  Services s(invocation, connection.get());
  FormFactoryWayland windows(connection.get(), &loop, &screens, s.process, s.resources,
                             SceneOptions(invocation));
  AppForms forms(windows);
  App app(s.Platform(), s.rng, forms);

  app.forms.set_on_last_unloaded([&] { loop.Quit(); });
  loop.set_on_terminate([&] {
    if (auto* scene = dynamic_cast<SceneForm*>(app.Find(FormId::kScene))) {
      Guarded(s.process, "sarvel", [&] { scene->OnTerminate(); });
    }
    // Nothing of ours refused to go, but a signal always ends the process.
    loop.Quit();
  });
  Guarded(s.process, "sarvel", [&] { app.Main(request); });
  if (request.mode == RunRequest::Mode::kPasswordChange) std::fputs(kNoOwnPassword, stdout);
  if (app.forms.count() == 0) return 0;
  if (!loop.Run([&] {
        screens.DeliverPending();
        app.CollectUnloadedForms();
      })) {
    // The compositor went, and our surfaces with it: the run is over, and it
    // was nothing of ours that failed.
    std::fprintf(stderr, "sarvel: %s; the saver ends.\n", connection->failure().c_str());
    std::fflush(nullptr);
    std::_Exit(1);
  }
  return 0;
}

}  // namespace sarvel::wayland
