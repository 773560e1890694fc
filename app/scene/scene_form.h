// scene_form: the full-screen scene form. It runs the scene on its window's
// events and ends the run on any input through EndRun. With more
// than one monitor its window covers the primary one and it keeps a scene of
// its own on each further monitor, in a window of the same kind.
#pragma once

#include <memory>
#include <vector>

#include "app/scene/input_watch.h"
#include "app/scene/scene.h"
#include "app/scene/scene_host.h"
#include "core/ports/form_view.h"

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
  // Monitors came, went or changed their size.
  virtual void OnDisplayChange() {}
};

class SceneView : public FormView, public SceneHost {
 public:
  virtual void SetEvents(SceneEvents* events) = 0;
  // The monitors of a full-screen window, the primary first, in pixels of
  // the virtual screen; empty for any other kind of window.
  virtual std::vector<gfx::Rect> Monitors() { return {}; }
  // The monitor that Maximize covers and the desktop capture reads; the
  // primary screen until it is set.
  virtual void SetMonitor(const gfx::Rect& monitor) { (void)monitor; }
  // A further full-screen window of the same kind, not created yet; it
  // takes input over its monitor but never the focus or the grabs.
  virtual std::unique_ptr<SceneView> CreateSibling() { return nullptr; }
  // Keeps the window above all others, as SetTopMost does for scene_form's.
  virtual void StayOnTop() {}
};

// Declares every call of SceneView, SceneHost and FormView in a window that
// implements them all.
#define SARVEL_SCENE_VIEW_OVERRIDES                               \
  SARVEL_FORM_VIEW_OVERRIDES;                                     \
  void SetEvents(SceneEvents* events) override;                   \
  void Maximize() override;                                       \
  void SetTimerInterval(int32_t milliseconds) override;           \
  void EnableTimer(bool enabled) override;                        \
  void CaptureDesktop(gfx::Surface& into, int w, int h) override; \
  gfx::Surface& WindowImage() override;                           \
  void Refresh() override;                                        \
  void RefreshRects(std::span<const gfx::Rect> rects) override;   \
  bool Visible() override;                                        \
  const gfx::Font& SceneFont() override;                          \
  double DeviceScale() override;                                  \
  std::vector<gfx::Rect> Monitors() override;                     \
  void SetMonitor(const gfx::Rect& monitor) override;             \
  std::unique_ptr<SceneView> CreateSibling() override;            \
  void StayOnTop() override

class SceneForm : public ViewForm<SceneView>, public SceneEvents {
 public:
  SceneForm(App& app, std::unique_ptr<SceneView> view);
  ~SceneForm() override;

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
  void OnDisplayChange() override;

  // The scenes on the further monitors, in the order Monitors gave them.
  size_t secondary_count() const { return heads_.size(); }
  Scene& secondary_scene(size_t i);

 protected:
  void OnLoad() override;
  bool OnUnload() override;
  void ShowWindow(ShowMode mode) override;
  void DestroyWindow() override;

 private:
  class Head;

  void EndRun();
  // A pointer position in virtual-screen device pixels, over a window of
  // that device scale: one filter watches every window, so crossing from
  // one monitor to the next is no movement.
  void MovedTo(float x, float y, double scale);
  // One head per monitor after the first; heads beyond the list go, missing
  // ones are made, loaded and (once the run is on screen) shown.
  void LayOutHeads(const std::vector<gfx::Rect>& monitors);
  static void RunFrame(Scene& scene, bool& in_frame);

  App& app_;
  Scene scene_;
  MovementFilter movement_;
  gfx::Rect monitor_;  // where scene_form's window is; the origin of its pointer positions
  std::vector<std::unique_ptr<Head>> heads_;
  bool loaded_ = false;
  bool shown_ = false;
  bool in_frame_ = false;
};

}  // namespace sarvel
