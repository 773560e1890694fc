#include "scene/frm_main.h"

#include "error_reporter/procedure.h"
#include "startup/app.h"

namespace sarvel {

FrmMain::FrmMain(App& app, std::unique_ptr<SceneView> view)
    : ViewForm<SceneView>("frmMain", std::move(view)),
      app_(app),
      scene_(SceneContext{app.saver.settings, app.saver.LeafCount, app.rng, app.reporter,
                          app.services.resources, app.services.clock, app.services.regional,
                          app.services.files},
             *view_) {
  view_->SetEvents(this);
}

void FrmMain::Form_Load() {
  loaded_ = true;
  scene_.Form_Load();
}

bool FrmMain::Form_Unload() {
  app_.saver.exitScreensaver();
  return true;
}

void FrmMain::OnResize() {
  // Sizes the window takes while it is being created are not a layout.
  if (loaded_) scene_.Form_Resize();
}

void FrmMain::OnTimer() {
  // A tick is not delivered while the previous one runs (a password prompt
  // may pump messages inside a frame).
  if (!loaded_ || in_frame_) return;
  in_frame_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{in_frame_};
  scene_.tmrAnimation_Timer();
}

// Lines: 10 the filter, 20 the end of the run.
void FrmMain::OnMouseMove(float x, float y) {
  Procedure p(app_.reporter, "frmMain", "Form_MouseMove");
  bool accepted = true;
  p.Step(10, [&] { accepted = movement_.Accept(x, y); });
  if (!accepted) p.Step(20, [&] { app_.saver.exitScreensaver(); });
}

void FrmMain::EndRun() { app_.saver.exitScreensaver(); }

}  // namespace sarvel
