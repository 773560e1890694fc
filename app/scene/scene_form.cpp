#include "app/scene/scene_form.h"

#include "app/app.h"
#include "core/report/procedure.h"

namespace sarvel {
namespace {

SceneContext ContextOf(App& app, int16_t& leaf_count) {
  return SceneContext{app.saver.settings,
                      leaf_count,
                      app.rng,
                      app.reporter,
                      app.services.resources,
                      app.services.clock,
                      app.services.regional,
                      app.services.files};
}

}  // namespace

// A scene on a further monitor. Its window's events go to its own scene;
// input ends the whole run, as on the scene form's window.
class SceneForm::Head final : public SceneEvents {
 public:
  Head(SceneForm& owner, std::unique_ptr<SceneView> view, const gfx::Rect& monitor_rect)
      : view_(std::move(view)),
        scene(ContextOf(owner.app_, leaf_count_), *view_),
        monitor(monitor_rect),
        owner_(owner) {
    view_->SetEvents(this);
  }
  ~Head() override { view_->Destroy(); }

  SceneView& view() { return *view_; }

  void OnResize() override {
    if (loaded) scene.LayOut();
  }
  void OnTimer() override {
    if (loaded) RunFrame(scene, in_frame_);
  }
  void OnMouseMove(float x, float y) override {
    owner_.MovedTo(float(monitor.x) + x, float(monitor.y) + y, view_->DeviceScale());
  }
  void OnMouseDown() override { owner_.EndRun(); }
  void OnClick() override { owner_.EndRun(); }
  void OnDblClick() override { owner_.EndRun(); }
  void OnKeyDown() override { owner_.EndRun(); }
  void OnKeyPress() override { owner_.EndRun(); }
  void OnTerminate() override { owner_.EndRun(); }
  // Monitor changes are the scene form's window's to report: it is the one window
  // that stays while heads come and go.

 private:
  std::unique_ptr<SceneView> view_;  // outlives the scene, which draws on it
  // Each layout draws its own sprite count; the scene form's scene keeps the
  // module's leaf_count.
  int16_t leaf_count_ = 0;

 public:
  Scene scene;
  gfx::Rect monitor;
  bool loaded = false;

 private:
  SceneForm& owner_;
  bool in_frame_ = false;
};

SceneForm::SceneForm(App& app, std::unique_ptr<SceneView> view)
    : ViewForm<SceneView>("frmMain", std::move(view)),
      app_(app),
      scene_(ContextOf(app, app.saver.leaf_count), *view_) {
  view_->SetEvents(this);
}

SceneForm::~SceneForm() = default;

Scene& SceneForm::secondary_scene(size_t i) { return heads_.at(i)->scene; }

void SceneForm::OnLoad() {
  loaded_ = true;
  const std::vector<gfx::Rect> monitors = view_->Monitors();
  if (!monitors.empty()) {
    monitor_ = monitors.front();
    view_->SetMonitor(monitor_);
  }
  scene_.Start();
  // Every scene takes its desktop capture now, before any window shows.
  LayOutHeads(monitors);
}

bool SceneForm::OnUnload() {
  app_.saver.EndRun();
  return true;
}

void SceneForm::ShowWindow(ShowMode mode) {
  shown_ = true;
  for (const auto& head : heads_) {
    head->view().StayOnTop();
    head->view().Show(ShowMode::kModeless);
  }
  // The scene form's window last: it takes the focus and the input.
  view_->Show(mode);
}

void SceneForm::DestroyWindow() {
  heads_.clear();
  view_->Destroy();
}

void SceneForm::LayOutHeads(const std::vector<gfx::Rect>& monitors) {
  const size_t wanted = monitors.size() > 1 ? monitors.size() - 1 : 0;
  while (heads_.size() > wanted) heads_.pop_back();
  for (size_t i = 0; i < wanted; ++i) {
    const gfx::Rect& m = monitors[i + 1];
    if (i < heads_.size()) {
      Head& head = *heads_[i];
      head.monitor = m;
      head.view().SetMonitor(m);
      head.view().Maximize();
      continue;
    }
    std::unique_ptr<SceneView> view = view_->CreateSibling();
    if (!view) return;
    heads_.push_back(std::make_unique<Head>(*this, std::move(view), m));
    Head& head = *heads_.back();
    head.view().Create();
    head.view().SetMonitor(m);
    head.loaded = true;
    head.scene.Start();
    if (shown_) {
      head.view().StayOnTop();
      head.view().Show(ShowMode::kModeless);
    }
  }
}

void SceneForm::OnDisplayChange() {
  if (!loaded_) return;
  const std::vector<gfx::Rect> monitors = view_->Monitors();
  if (!monitors.empty()) {
    monitor_ = monitors.front();
    view_->SetMonitor(monitor_);
  }
  // A new size lays the scene out anew; the same size keeps it as it is.
  view_->Maximize();
  LayOutHeads(monitors);
  // Windows moved under the pointer, or the pointer was pushed off a monitor
  // that went: the next position is a new reference, not a movement.
  movement_ = MovementFilter{};
}

void SceneForm::OnResize() {
  // Sizes the window takes while it is being created are not a layout.
  if (loaded_) scene_.LayOut();
}

void SceneForm::RunFrame(Scene& scene, bool& in_frame) {
  // A tick is not delivered while the previous one runs (a password prompt
  // may pump messages inside a frame).
  if (in_frame) return;
  in_frame = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{in_frame};
  scene.OnFrameTimer();
}

void SceneForm::OnTimer() {
  if (loaded_) RunFrame(scene_, in_frame_);
}

void SceneForm::OnMouseMove(float x, float y) {
  MovedTo(float(monitor_.x) + x, float(monitor_.y) + y, view_->DeviceScale());
}

// Lines: 10 the filter, 20 the end of the run.
void SceneForm::MovedTo(float x, float y, double scale) {
  Procedure p(app_.reporter, "frmMain", "Form_MouseMove");
  bool accepted = true;
  p.Step(10, [&] { accepted = movement_.Accept(x, y, scale); });
  if (!accepted) p.Step(20, [&] { app_.saver.EndRun(); });
}

void SceneForm::EndRun() { app_.saver.EndRun(); }

}  // namespace sarvel
