// The start-up module: Main and its dispatch on the run request, the
// settings record, the question of the saver's own password, keeping a form
// on top, and EndRun, the one way a full-screen run ends. The protocol names
// them as the module always did (docs/architecture.md lists the names).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/forms.h"
#include "app/general.h"
#include "app/run_request.h"
#include "app/settings.h"
#include "core/base/random.h"
#include "core/ports/clock.h"
#include "core/ports/process.h"
#include "core/ports/regional.h"
#include "core/ports/saver_system.h"
#include "core/ports/settings_store.h"
#include "core/report/error_reporter.h"

namespace sarvel {

// How Main reaches the forms it opens; each is created on first use.
class SaverForms {
 public:
  virtual ~SaverForms() = default;
  virtual Form& scene_form() = 0;
  virtual Form& preview_form() = 0;
  virtual Form& config_form() = 0;
};

class Saver {
 public:
  struct Services {
    SaverSystem& system;
    SettingsStore& store;
    Regional& regional;
    Clock& clock;
    Process& process;
  };

  Saver(Services services, ErrorReporter& reporter, RandomSource& rng, FormList& forms,
        General& general, SaverForms& saver_forms);

  // Process-wide variables of the module.
  SaverSettings settings;
  int16_t leaf_count = 0;
  bool full_screen_run = false;

  void Main(const RunRequest& request);
  // Whether the saver's own password is checked and changed here, or the
  // session's locker owns the password.
  bool HasOwnPassword();
  bool KeepOnTop(Form& form, bool on_top, bool activate);
  void EndRun();
  void LoadConfig() { io_.LoadConfig(settings); }
  void SaveConfig() { io_.SaveConfig(settings); }
  SettingsIo& settings_io() { return io_; }

 private:
  void PreviewBranch(class Procedure& p, const RunRequest& request);
  void PasswordBranch(class Procedure& p, const RunRequest& request);
  void FullScreenBranch(class Procedure& p);
  void RestoringStep(int32_t line, const std::function<void()>& body);

  Services s_;
  ErrorReporter& reporter_;
  RandomSource& rng_;
  FormList& forms_;
  General& general_;
  SaverForms& saver_forms_;
  SettingsIo io_;
  bool in_progress_ = false;
};

}  // namespace sarvel
