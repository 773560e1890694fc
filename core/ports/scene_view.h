// The scene form's window: the scene's host (scene_host.h), the events it
// delivers, and the further windows of a run over several monitors.
#pragma once

#include <memory>
#include <vector>

#include "core/gfx/image.h"
#include "core/ports/form_view.h"
#include "core/ports/scene_host.h"

namespace sarvel {

// Events of the scene window, as the platform delivers them.
class SceneEvents {
 public:
  virtual ~SceneEvents() = default;
  virtual void OnResize() = 0;  // the client size changed
  virtual void OnTimer() = 0;
  // The pointer is at (x, y), in device pixels of the window.
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
  // Keeps the window above all others, as the start-up does for the scene
  // form's own window.
  virtual void StayOnTop() {}
};

}  // namespace sarvel
