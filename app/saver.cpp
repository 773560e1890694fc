#include "app/saver.h"

#include "core/base/checked.h"
#include "core/report/procedure.h"

namespace sarvel {

Saver::Saver(Services services, ErrorReporter& reporter, RandomSource& rng, FormList& forms,
             General& general, SaverForms& saver_forms)
    : s_(services),
      reporter_(reporter),
      rng_(rng),
      forms_(forms),
      general_(general),
      saver_forms_(saver_forms),
      io_(services.store, services.regional, reporter) {}

void Saver::Main(const RunRequest& request) {
  Procedure p(reporter_, "Saver", "Main");
  p.Step(20, [&] { LoadConfig(); });
  p.Step(30, [&] {
    const LocalTime t = s_.clock.Now();
    rng_.Seed(uint32_t(((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond));
  });
  if (p.left()) return;
  switch (request.mode) {
    case RunRequest::Mode::kPreview:
      PreviewBranch(p, request);
      break;
    case RunRequest::Mode::kSettings:
      p.Step(200, [&] { forms_.Show(saver_forms_.config_form(), ShowMode::kModeless); });
      break;
    case RunRequest::Mode::kPasswordChange:
      PasswordBranch(p, request);
      break;
    case RunRequest::Mode::kFullScreen:
    case RunRequest::Mode::kWindow:
      FullScreenBranch(p);
      break;
    case RunRequest::Mode::kNone:
      break;
  }
}

// The preview goes into the host's window at its top-left corner, as large
// as the host's client area, without being activated; it paints itself when
// its size changes.
void Saver::PreviewBranch(Procedure& p, const RunRequest& request) {
  WindowHandle host = 0;
  PixelSize size;
  WindowHandle preview = 0;
  p.Step(80, [&] { host = ToInt32(request.window_number); });
  p.Step(90, [&] { size = s_.system.PreviewHostSize(host); });
  full_screen_run = false;
  Form& form = saver_forms_.preview_form();
  p.Step(110, [&] { forms_.Load(form); });
  p.Step(120, [&] { preview = form.handle(); });
  p.Step(160, [&] { s_.system.EmbedInPreviewHost(preview, host); });
  p.Step(180, [&] { s_.system.ShowInPreviewHost(preview, size.width, size.height); });
}

void Saver::PasswordBranch(Procedure& p, const RunRequest& request) {
  bool own = false;
  WindowHandle owner = 0;
  p.Step(220, [&] { own = HasOwnPassword(); });
  if (!own) return;
  p.Step(230, [&] { owner = ToInt32(request.window_number); });
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
  p.Step(300, [&] { s_.system.SetCursorHidden(true); });
  Form& scene = saver_forms_.scene_form();
  p.Step(310, [&] { forms_.Load(scene); });
  p.Step(320, [&] { KeepOnTop(scene, true, true); });
  p.Step(330, [&] { forms_.Show(scene, ShowMode::kModeless); });
}

bool Saver::HasOwnPassword() {
  Procedure p(reporter_, "Saver", "IsWinNT");
  bool own = false;
  p.Step(30, [&] { own = s_.system.SaverHasOwnPassword(); });
  return own;
}

bool Saver::KeepOnTop(Form& form, bool on_top, bool activate) {
  Procedure p(reporter_, "Saver", "SetTopMost");
  bool result = false;
  p.Step(110, [&] { result = s_.system.KeepOnTop(form.handle(), on_top, activate); });
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
  bool own_password = false;
  p.Step(30, [&] { own_password = HasOwnPassword(); });
  if (p.left()) return;
  if (own_password) {
    bool passed = false;
    p.Step(40, [&] { passed = s_.system.VerifySaverPassword(saver_forms_.scene_form().handle()); });
    if (!passed || p.left()) return;
  }
  guard.ending = true;
  RestoringStep(70, [&] { s_.system.SetCursorHidden(false); });
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
