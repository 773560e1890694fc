// X11: the form factory of the native program, building each form model over
// its window: X11 windows for the scene and the preview, GTK windows for the
// settings dialog and the about box.
#pragma once

#include <memory>

#include "app/app.h"
#include "frontends/x11/event_loop.h"
#include "frontends/x11/scene_window_x11.h"
#include "frontends/x11/x11_display.h"

namespace sarvel::x11 {

class FormFactoryX11 : public FormFactory {
 public:
  FormFactoryX11(Display& display, EventLoop& loop, SceneWindowOptions scene)
      : display_(display), loop_(loop), scene_(scene) {}
  std::unique_ptr<Form> Create(FormId id, App& app) override;

  // Whether this build has a window for the form.
  static bool Provides(FormId id);

 private:
  Display& display_;
  EventLoop& loop_;
  SceneWindowOptions scene_;
};

}  // namespace sarvel::x11
