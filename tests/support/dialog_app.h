// The whole program on the headless platform with the real settings dialog
// and about box, for tests that open them the way configuration mode does.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/app.h"
#include "app/dialogs/config_form.h"
#include "app/dialogs/info_form.h"
#include "app/forms/app_forms.h"
#include "frontends/offscreen/forms_headless.h"
#include "tests/support/config_view_headless.h"
#include "tests/support/headless_platform.h"
#include "tests/support/info_view_headless.h"
#include "tests/support/scripted_random.h"
#include "tests/support/test_app.h"

namespace sarvel::testing {

// The dialogs' windows are recording views; lets a test script each view
// before its form's load handler runs.
class DialogWindows : public headless::FormFactoryHeadless {
 public:
  std::unique_ptr<ConfigView> CreateConfigView() override {
    auto view = std::make_unique<headless::ConfigViewHeadless>(0x1020);
    if (on_config) on_config(*view);
    return view;
  }
  std::unique_ptr<InfoView> CreateInfoView() override {
    auto view = std::make_unique<headless::InfoViewHeadless>(0x1030);
    if (on_info) on_info(*view);
    return view;
  }
  std::function<void(headless::ConfigViewHeadless&)> on_config;
  std::function<void(headless::InfoViewHeadless&)> on_info;
};

struct DialogApp {
  headless::Platform platform;
  ScriptedRandom rng;
  DialogWindows factory;
  AppForms forms{factory};
  std::unique_ptr<App> app;
  ConfigForm* form = nullptr;

  explicit DialogApp(const std::string& log_folder) {
    platform.exe.folder = log_folder;
    app = std::make_unique<App>(platform.services(), rng, forms);
  }

  // Configuration mode: loads the settings and shows the dialog. The form
  // object outlives its unloading until the app goes.
  ConfigForm& Open() {
    app->Main(RunRequest{RunRequest::Mode::kSettings});
    form = static_cast<ConfigForm*>(app->Find(FormId::kConfig));
    return *form;
  }
  ConfigForm& config() { return *form; }
  headless::ConfigViewHeadless& view() {
    return static_cast<headless::ConfigViewHeadless&>(form->view());
  }
  bool ConfigLoaded() {
    Form* f = app->Find(FormId::kConfig);
    return f && app->forms.IsLoaded(*f);
  }
  int Protocols() {
    return CountOccurrences(ReadWholeFile(platform.exe.folder + "/Sarvel.EPT"), "F E H L E R");
  }
  std::string Log() { return ReadWholeFile(platform.exe.folder + "/Sarvel.EPT"); }
};

}  // namespace sarvel::testing
