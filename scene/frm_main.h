// frmMain: the full-screen scene form. It runs the scene on its window's
// events and ends the run on any input through exitScreensaver.
#pragma once

#include <memory>

#include "platform/form_view.h"
#include "scene/input_watch.h"
#include "scene/scene.h"
#include "scene/scene_host.h"

namespace sarvel {

class App;

// Events of the scene window, as the platform delivers them.
class SceneEvents {
 public:
  virtual ~SceneEvents() = default;
  virtual void OnResize() = 0;  // the client size changed
  virtual void OnTimer() = 0;
  virtual void OnMouseMove(float x, float y) = 0;
  virtual void OnMouseDown() = 0;
  virtual void OnClick() = 0;
  virtual void OnDblClick() = 0;
  virtual void OnKeyDown() = 0;
  virtual void OnKeyPress() = 0;
  virtual void OnTerminate() = 0;  // the system ends the session or the process
};

class SceneView : public FormView, public SceneHost {
 public:
  virtual void SetEvents(SceneEvents* events) = 0;
};

class FrmMain : public ViewForm<SceneView>, public SceneEvents {
 public:
  FrmMain(App& app, std::unique_ptr<SceneView> view);

  Scene& scene() { return scene_; }
  MovementFilter& movement() { return movement_; }

  void OnResize() override;
  void OnTimer() override;
  void OnMouseMove(float x, float y) override;
  void OnMouseDown() override { EndRun(); }
  void OnClick() override { EndRun(); }
  void OnDblClick() override { EndRun(); }
  void OnKeyDown() override { EndRun(); }
  void OnKeyPress() override { EndRun(); }
  void OnTerminate() override { EndRun(); }

 protected:
  void Form_Load() override;
  bool Form_Unload() override;

 private:
  void EndRun();

  App& app_;
  Scene scene_;
  MovementFilter movement_;
  bool loaded_ = false;
  bool in_frame_ = false;
};

}  // namespace sarvel
