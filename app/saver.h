// The start-up module "Saver": Main and its dispatch on the command line,
// the settings record, IsWinNT, SetTopMost and EndRun, the one way
// a full-screen run ends.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/general.h"
#include "app/settings.h"
#include "core/base/random.h"
#include "core/ports/forms.h"
#include "core/ports/services.h"
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
    SystemApi& system;
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

  void Main(std::string_view command_line);
  bool IsWinNT();
  bool SetTopMost(Form& form, bool topMost, bool activate);
  void EndRun();
  void LoadConfig() { io_.LoadConfig(settings); }
  void SaveConfig() { io_.SaveConfig(settings); }
  SettingsIo& settings_io() { return io_; }

 private:
  void PreviewBranch(class Procedure& p, const std::string& command);
  void PasswordBranch(class Procedure& p, const std::string& command);
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

// The command text: arguments trimmed of spaces and upper-cased.
std::string CommandText(std::string_view arguments);
// The handle number at the 4th character of the command text (the 3rd is
// skipped whatever it is); 0 when there is none. Raises Err::kOverflow when
// it does not fit 32 bits.
int32_t HandleArgument(const std::string& command);

}  // namespace sarvel
