// GTK: what the settings dialog and the about box share on Linux. Starting
// GTK on the session's display, twips at the screen's resolution, our
// pictures as pixbufs and cairo surfaces, the fonts (the desktop's dialog
// face and fontconfig's nearest match for a named face), style sheets for
// one widget, access keys, the loops that run while a window is modal, and
// the guard around every call from GTK into a model.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "core/gfx/color.h"
#include "core/gfx/image.h"
#include "core/gfx/surface.h"
#include "core/ports/process.h"
#include "core/ports/window_handle.h"
#include "core/report/guard.h"

namespace sarvel::gtk {

// The style class of our dialog windows; the about box looks for a visible
// window of this class to be modal over.
inline constexpr char kDialogWindowClass[] = "sarvel-dialog";

// Opens GTK's own connection to the display, on the backend GDK picks (the
// Wayland compositor or the X display, or the one that GDK_BACKEND or
// gdk_set_allowed_backends allows). False when GTK cannot start.
bool Start();

// A GObject reference that drops itself.
struct GObjectUnref {
  void operator()(gpointer object) const {
    if (object) g_object_unref(object);
  }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct CairoSurfaceDestroy {
  void operator()(cairo_surface_t* s) const {
    if (s) cairo_surface_destroy(s);
  }
};
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDestroy>;

// The screen's resolution in dots per inch as GDK sees it (Xft.dpi, divided
// by the window scale), 96 when it has none.
double ScreenDpi();

// Twips (1/1440 inch) to pixels and back at `dpi`, rounded to the nearest
// pixel, halves away from zero.
int Px(int twips, double dpi);
int Twips(int pixels, double dpi);

// A picture of ours (premultiplied ARGB) as a pixbuf of its own size, and
// scaled to `size` x `size` when that differs.
GObjectPtr<GdkPixbuf> PixbufOf(const gfx::Image& image);
GObjectPtr<GdkPixbuf> PixbufOf(const gfx::Image& image, int size);
// An opaque surface of ours as a cairo image surface.
CairoSurfacePtr CairoSurfaceOf(const gfx::Surface& surface);

// The family of the desktop's dialog font (gtk-font-name), "Sans" when it
// names none.
std::string DesktopFontFamily();
// The family fontconfig matches for `family`; the sans default when it
// knows nothing closer.
std::string ClosestFontFamily(const char* family);

// "rgb(r, g, b)" for a style sheet.
std::string CssColor(gfx::Argb color);
// A style sheet for `widget` alone; a later call replaces the earlier one.
void SetWidgetCss(GtkWidget* widget, const std::string& css);
// The style sheet of the windows that carry the style class `window_class`
// (its selectors name the class); a later call replaces the earlier sheet.
void AddWindowCss(const char* window_class, const std::string& css);

// "&Default" with the access key marked as GTK marks it: "_Default". A
// doubled "&" stands for itself; underscores of the text stay underscores.
std::string Mnemonic(std::string_view caption);

// The programs of the platform's loop. `Run` iterates GTK's main context
// until `done` answers true or the process is asked to end, calling
// `between` after each iteration; `RunModal` is the same without
// `between`, for the nested loops of modal windows.
void Run(const std::function<bool()>& done, const std::function<void()>& between);
void RunModal(const std::function<bool()>& done);
// SIGTERM, SIGINT and SIGHUP end every loop.
void EndLoopsOnSignals();
void RequestEnd();
bool EndRequested();

// Shows a dialog modal over its parent and waits for its answer; the
// dialog is destroyed before this returns.
int RunDialog(GtkDialog* dialog);

// Asks the desktop to open a web address; the outcome is not looked at.
void OpenUri(GtkWindow* parent, const std::string& address);

// The X window of a realised GTK window on X11; 0 before, and on Wayland,
// which has no window numbers.
WindowHandle HandleOf(GtkWidget* window);

// A call from a GTK signal into a model. A failure that no procedure
// handled stops the program with the fatal error message; nothing unwinds
// through GTK's C frames.
template <class Fn>
void CallModel(Process& process, Fn&& fn) noexcept {
  Guarded(process, "sarvel", std::forward<Fn>(fn));
}

}  // namespace sarvel::gtk
