#include "frontends/x11/forms_x11.h"

#include <gdk/gdk.h>

#include "frontends/gtk/gtk_config_view.h"
#include "frontends/gtk/gtk_info_view.h"
#include "frontends/gtk/gtk_support.h"
#include "frontends/x11/preview_window_x11.h"

namespace sarvel::x11 {
namespace {

XErrorHandler g_gdk_handler = nullptr;
::Display* g_ours = nullptr;

int ChainedErrorHandler(::Display* display, XErrorEvent* event) {
  if (display == g_ours || !g_gdk_handler) return TrapHandler(display, event);
  return g_gdk_handler(display, event);
}

}  // namespace

bool StartGtk(Display& ours) {
  // The dialogs stand on the display the rest of the program uses.
  gdk_set_allowed_backends("x11");
  if (!gtk::Start()) return false;
  g_ours = ours.xdisplay();
  // GDK installed its handler for every connection of the process; ours
  // goes first again and hands GDK the errors of its own connection.
  g_gdk_handler = XSetErrorHandler(ChainedErrorHandler);
  return true;
}

std::unique_ptr<SceneView> FormFactoryX11::CreateSceneView() {
  return std::make_unique<SceneWindowX11>(display_, loop_, process_, scene_);
}

std::unique_ptr<PreviewView> FormFactoryX11::CreatePreviewView() {
  return std::make_unique<PreviewWindowX11>(display_, loop_, process_);
}

std::unique_ptr<ConfigView> FormFactoryX11::CreateConfigView() {
  return std::make_unique<gtk::GtkConfigView>(resources_, process_);
}

std::unique_ptr<InfoView> FormFactoryX11::CreateInfoView() {
  return std::make_unique<gtk::GtkInfoView>(resources_, process_);
}

}  // namespace sarvel::x11
