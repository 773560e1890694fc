// Wayland: the windows of the native program's forms: compositor surfaces
// for the scene, GTK windows for the settings dialog and the about box. A
// preview lives in an X11 host's window: the launcher sends it to X11.
#pragma once

#include <memory>

#include "core/ports/form_factory.h"
#include "core/ports/process.h"
#include "core/ports/resource_library.h"
#include "frontends/wayland/scene_window_wayland.h"

namespace sarvel::wayland {

class FormFactoryWayland : public FormFactory {
 public:
  // `connection`, `loop` and `screens` may be null for a run that only shows
  // dialogs; `scene`: the kind of window the scene gets.
  FormFactoryWayland(Connection* connection, EventLoop* loop, Screens* screens, Process& process,
                     ResourceLibrary& resources, SceneWindowOptions scene)
      : connection_(connection),
        loop_(loop),
        screens_(screens),
        process_(process),
        resources_(resources),
        scene_(scene) {}

  std::unique_ptr<SceneView> CreateSceneView() override;
  // Raises: no host's window to put a preview in.
  std::unique_ptr<PreviewView> CreatePreviewView() override;
  // GTK must have been started (gtk::Start) before a dialog is made.
  std::unique_ptr<ConfigView> CreateConfigView() override;
  std::unique_ptr<InfoView> CreateInfoView() override;

 private:
  Connection* connection_;
  EventLoop* loop_;
  Screens* screens_;
  Process& process_;
  ResourceLibrary& resources_;
  SceneWindowOptions scene_;
};

}  // namespace sarvel::wayland
