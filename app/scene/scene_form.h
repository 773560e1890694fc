// The scene form, full screen. It runs the scene on its window's
// events and ends the run on any input through EndRun. With more
// than one monitor its window covers the primary one and it keeps a scene of
// its own on each further monitor, in a window of the same kind.
#pragma once

#include <memory>
#include <vector>

#include "app/forms.h"
#include "app/scene/input_watch.h"
#include "app/scene/scene.h"
#include "core/ports/scene_view.h"

namespace sarvel {

class App;

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
  gfx::Rect monitor_;  // where the scene form's window is; the origin of its pointer positions
  std::vector<std::unique_ptr<Head>> heads_;
  bool loaded_ = false;
  bool shown_ = false;
  bool in_frame_ = false;
};

}  // namespace sarvel
