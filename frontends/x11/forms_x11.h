// X11: the windows of the native program's forms: X11 windows for the scene
// and the preview, GTK windows for the settings dialog and the about box.
#pragma once

#include <memory>

#include "core/ports/form_factory.h"
#include "core/ports/process.h"
#include "core/ports/resource_library.h"
#include "frontends/x11/event_loop.h"
#include "frontends/x11/scene_window_x11.h"
#include "frontends/x11/x11_display.h"

namespace sarvel::x11 {

// Starts GTK on the X display, next to our own connection `ours`, and keeps
// the protocol errors of ours with our own handler while GDK handles those
// of its connection. False when GTK cannot start.
bool StartGtk(Display& ours);

class FormFactoryX11 : public FormFactory {
 public:
  // `scene`: the kind of window the scene gets, as the command line asked.
  FormFactoryX11(Display& display, EventLoop& loop, Process& process, ResourceLibrary& resources,
                 SceneWindowOptions scene)
      : display_(display), loop_(loop), process_(process), resources_(resources), scene_(scene) {}

  std::unique_ptr<SceneView> CreateSceneView() override;
  std::unique_ptr<PreviewView> CreatePreviewView() override;
  // GTK must have been started (gtk::Start) before a dialog is made.
  std::unique_ptr<ConfigView> CreateConfigView() override;
  std::unique_ptr<InfoView> CreateInfoView() override;

 private:
  Display& display_;
  EventLoop& loop_;
  Process& process_;
  ResourceLibrary& resources_;
  SceneWindowOptions scene_;
};

}  // namespace sarvel::x11
