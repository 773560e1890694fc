#include "app/saver.h"

#include "core/base/checked.h"
#include "core/base/number_text.h"
#include "core/report/procedure.h"

namespace sarvel {

std::string CommandText(std::string_view arguments) {
  while (!arguments.empty() && arguments.front() == ' ') arguments.remove_prefix(1);
  while (!arguments.empty() && arguments.back() == ' ') arguments.remove_suffix(1);
  std::string text(arguments);
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  return text;
}

int32_t HandleArgument(const std::string& command) {
  if (command.size() <= 3) return 0;
  return ToInt32(LeadingNumber(std::string_view(command).substr(3)));
}

Saver::Saver(Services services, ErrorReporter& reporter, RandomSource& rng, FormList& forms,
             General& general, SaverForms& saver_forms)
    : s_(services),
      reporter_(reporter),
      rng_(rng),
      forms_(forms),
      general_(general),
      saver_forms_(saver_forms),
      io_(services.store, services.regional, reporter) {}

void Saver::Main(std::string_view command_line) {
  Procedure p(reporter_, "Saver", "Main");
  std::string command;
  std::string option;
  p.Step(20, [&] { LoadConfig(); });
  p.Step(30, [&] {
    const LocalTime t = s_.clock.Now();
    rng_.Seed(uint32_t(((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond));
  });
  p.Step(50, [&] { command = CommandText(command_line); });
  if (p.left()) return;
  option = command.substr(0, 2);
  if (option == "/P") {
    PreviewBranch(p, command);
  } else if (option == "/C") {
    p.Step(200, [&] { forms_.Show(saver_forms_.config_form(), ShowMode::kModeless); });
  } else if (option == "/A") {
    PasswordBranch(p, command);
  } else if (option == "/S" || option.empty()) {
    FullScreenBranch(p);
  }
}

void Saver::PreviewBranch(Procedure& p, const std::string& command) {
  WindowHandle parent = 0;
  ClientRect rect;
  WindowHandle preview = 0;
  int32_t style = 0;
  p.Step(80, [&] { parent = HandleArgument(command); });
  p.Step(90, [&] { s_.system.GetClientArea(parent, rect); });
  full_screen_run = false;
  Form& form = saver_forms_.preview_form();
  p.Step(110, [&] { forms_.Load(form); });
  p.Step(120, [&] { preview = form.handle(); });
  p.Step(130, [&] { style = s_.system.WindowStyle(preview); });
  style |= kWsChild;
  p.Step(150, [&] { s_.system.SetWindowStyle(preview, style); });
  p.Step(160, [&] { s_.system.SetParent(preview, parent); });
  p.Step(170, [&] { s_.system.SetOwner(preview, parent); });
  p.Step(180, [&] { s_.system.ShowInParent(preview, rect.right, rect.bottom); });
}

void Saver::PasswordBranch(Procedure& p, const std::string& command) {
  bool nt = false;
  WindowHandle owner = 0;
  p.Step(220, [&] { nt = IsWinNT(); });
  if (nt) return;
  p.Step(230, [&] { owner = HandleArgument(command); });
  p.Step(240, [&] { s_.system.ChangeSaverPassword(owner); });
}

void Saver::FullScreenBranch(Procedure& p) {
  bool another = false;
  p.Step(270, [&] { another = s_.process.AnotherInstanceRunning(); });
  if (another) return;
  // Only a run that ends through EndRun switches activation off:
  // that is where it is switched on again. The system starts previews and
  // the settings dialog whenever its settings page is shown; they leave
  // activation as they found it.
  p.Step(40, [&] { s_.system.SetScreenSaverActive(false); });
  if (p.left()) return;
  full_screen_run = true;
  p.Step(290, [&] { s_.system.SetSaverRunning(true); });
  p.Step(300, [&] { s_.system.ShowCursor(false); });
  Form& scene = saver_forms_.scene_form();
  p.Step(310, [&] { forms_.Load(scene); });
  p.Step(320, [&] { SetTopMost(scene, true, true); });
  p.Step(330, [&] { forms_.Show(scene, ShowMode::kModeless); });
}

bool Saver::IsWinNT() {
  Procedure p(reporter_, "Saver", "IsWinNT");
  OsVersion info;
  info.size = 148;
  int32_t called = 0;
  p.Step(30, [&] { called = s_.system.QueryVersion(info); });
  return called == 1 && info.platform_id == kPlatformWinNT;
}

bool Saver::SetTopMost(Form& form, bool topMost, bool activate) {
  Procedure p(reporter_, "Saver", "SetTopMost");
  bool result = false;
  p.Step(110, [&] { result = s_.system.SetTopMost(form.handle(), topMost, activate); });
  return result;
}

void Saver::EndRun() {
  Procedure p(reporter_, "Saver", "exitScreensaver");
  if (!full_screen_run) return;
  // Unloading the scene calls back here while the run is already ending, a
  // password prompt may let more input arrive, and a report made on the way
  // calls back too: none of them starts a second ending.
  if (in_progress_) return;
  in_progress_ = true;
  struct ClearUnlessEnding {
    bool& flag;
    bool ending = false;
    ~ClearUnlessEnding() {
      if (!ending) flag = false;
    }
  } guard{in_progress_};
  bool nt = false;
  p.Step(30, [&] { nt = IsWinNT(); });
  if (p.left()) return;
  if (!nt) {
    bool passed = false;
    p.Step(40, [&] { passed = s_.system.VerifySaverPassword(saver_forms_.scene_form().handle()); });
    if (!passed || p.left()) return;
  }
  guard.ending = true;
  RestoringStep(70, [&] { s_.system.ShowCursor(true); });
  RestoringStep(80, [&] { s_.system.SetScreenSaverActive(true); });
  RestoringStep(90, [&] { s_.system.SetSaverRunning(false); });
  RestoringStep(100, [&] { general_.Shutdown(); });
  // Once the system state is restored the run is over, whatever the steps
  // above answered.
  s_.process.EndProgram();
}

// A step of the run's end, reported as EndRun's own. A step given up
// on (retried to the bound, or cancelled) leaves only itself: each of the
// others still restores its part, and the forms still unload.
void Saver::RestoringStep(int32_t line, const std::function<void()>& body) {
  Procedure p(reporter_, "Saver", "exitScreensaver");
  p.Step(line, body);
}

}  // namespace sarvel
