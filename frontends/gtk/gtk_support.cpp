// GTK: the shared parts of the settings dialog and the about box.
#include "frontends/gtk/gtk_support.h"

#include <fontconfig/fontconfig.h>
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <signal.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace sarvel::gtk {
namespace {

bool g_end_requested = false;

gboolean OnEndSignal(gpointer) {
  RequestEnd();
  return G_SOURCE_CONTINUE;
}

}  // namespace

bool Start() { return gtk_init_check(nullptr, nullptr); }

double ScreenDpi() {
  GdkScreen* screen = gdk_screen_get_default();
  if (!screen) return 96.0;
  // GtkSettings passes Xft.dpi on to the screen when it is first made.
  gtk_settings_get_for_screen(screen);
  const double dpi = gdk_screen_get_resolution(screen);
  return dpi > 0 ? dpi : 96.0;
}

int Px(int twips, double dpi) { return int(std::lround(double(twips) * dpi / 1440.0)); }
int Twips(int pixels, double dpi) { return int(std::lround(double(pixels) * 1440.0 / dpi)); }

GObjectPtr<GdkPixbuf> PixbufOf(const gfx::Image& image) {
  const int w = image.width(), h = image.height();
  GObjectPtr<GdkPixbuf> pixbuf(gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, w, h));
  if (!pixbuf) return pixbuf;
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf.get());
  const int stride = gdk_pixbuf_get_rowstride(pixbuf.get());
  // Pixbufs hold straight alpha, byte by byte.
  for (int y = 0; y < h; ++y) {
    const gfx::Argb* src = image.row(y);
    guchar* dst = pixels + size_t(y) * size_t(stride);
    for (int x = 0; x < w; ++x, dst += 4) {
      const gfx::Argb p = src[x];
      const uint32_t a = gfx::AlphaOf(p);
      auto straight = [a](uint32_t c) -> guchar {
        if (a == 0) return 0;
        return guchar(std::min<uint32_t>(255, (c * 255 + a / 2) / a));
      };
      dst[0] = straight(gfx::RedOf(p));
      dst[1] = straight(gfx::GreenOf(p));
      dst[2] = straight(gfx::BlueOf(p));
      dst[3] = guchar(a);
    }
  }
  return pixbuf;
}

GObjectPtr<GdkPixbuf> PixbufOf(const gfx::Image& image, int size) {
  GObjectPtr<GdkPixbuf> pixbuf = PixbufOf(image);
  if (!pixbuf || (image.width() == size && image.height() == size)) return pixbuf;
  return GObjectPtr<GdkPixbuf>(
      gdk_pixbuf_scale_simple(pixbuf.get(), size, size, GDK_INTERP_BILINEAR));
}

CairoSurfacePtr CairoSurfaceOf(const gfx::Surface& surface) {
  const int w = surface.width(), h = surface.height();
  CairoSurfacePtr out(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
  if (cairo_surface_status(out.get()) != CAIRO_STATUS_SUCCESS) return out;
  cairo_surface_flush(out.get());
  unsigned char* data = cairo_image_surface_get_data(out.get());
  const int stride = cairo_image_surface_get_stride(out.get());
  // Both are 32-bit words 0xXXRRGGBB in the machine's byte order.
  for (int y = 0; y < h; ++y)
    std::memcpy(data + size_t(y) * size_t(stride), surface.row(y), size_t(w) * 4);
  cairo_surface_mark_dirty(out.get());
  return out;
}

std::string DesktopFontFamily() {
  gchar* name = nullptr;
  if (GtkSettings* settings = gtk_settings_get_default())
    g_object_get(settings, "gtk-font-name", &name, nullptr);
  std::string family;
  if (name) {
    PangoFontDescription* desc = pango_font_description_from_string(name);
    if (const char* f = pango_font_description_get_family(desc)) family = f;
    pango_font_description_free(desc);
    g_free(name);
  }
  return family.empty() ? "Sans" : family;
}

std::string ClosestFontFamily(const char* family) {
  static std::map<std::string, std::string> known;
  const auto at = known.find(family);
  if (at != known.end()) return at->second;
  std::string found = "Sans";
  if (FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family))) {
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
      FcChar8* name = nullptr;
      if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name)
        found = reinterpret_cast<const char*>(name);
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  known.emplace(family, found);
  return found;
}

std::string CssColor(gfx::Argb c) {
  return "rgb(" + std::to_string(gfx::RedOf(c)) + ", " + std::to_string(gfx::GreenOf(c)) + ", " +
         std::to_string(gfx::BlueOf(c)) + ")";
}

void SetWidgetCss(GtkWidget* widget, const std::string& css) {
  static const char kKey[] = "sarvel-css";
  GtkCssProvider* provider =
      static_cast<GtkCssProvider*>(g_object_get_data(G_OBJECT(widget), kKey));
  if (!provider) {
    provider = gtk_css_provider_new();
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget),
                                   GTK_STYLE_PROVIDER(provider),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
    // The widget keeps the provider for as long as it lives.
    g_object_set_data_full(G_OBJECT(widget), kKey, provider, g_object_unref);
  }
  gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
}

void AddWindowCss(const char* window_class, const std::string& css) {
  // One sheet per class for the life of the process, loaded anew on each call.
  static std::map<std::string, GtkCssProvider*> sheets;
  GdkScreen* screen = gdk_screen_get_default();
  if (!screen) return;
  GtkCssProvider*& provider = sheets[window_class];
  if (!provider) {
    provider = gtk_css_provider_new();
    gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  }
  gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
}

std::string Mnemonic(std::string_view caption) {
  std::string out;
  out.reserve(caption.size() + 2);
  for (size_t i = 0; i < caption.size(); ++i) {
    const char c = caption[i];
    if (c == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      } else {
        out += '_';
      }
    } else if (c == '_') {
      out += "__";
    } else {
      out += c;
    }
  }
  return out;
}

void Run(const std::function<bool()>& done, const std::function<void()>& between) {
  while (!done() && !g_end_requested) {
    g_main_context_iteration(nullptr, TRUE);
    if (between) between();
  }
}

void RunModal(const std::function<bool()>& done) { Run(done, nullptr); }

void EndLoopsOnSignals() {
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) g_unix_signal_add(sig, OnEndSignal, nullptr);
}

void RequestEnd() {
  g_end_requested = true;
  g_main_context_wakeup(nullptr);
}

bool EndRequested() { return g_end_requested; }

int RunDialog(GtkDialog* dialog) {
  struct State {
    int response = GTK_RESPONSE_NONE;
    bool answered = false;
  } state;
  const gulong id =
      g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkDialog*, int response, gpointer data) {
                         auto* s = static_cast<State*>(data);
                         s->response = response;
                         s->answered = true;
                       }),
                       &state);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  gtk_window_present(GTK_WINDOW(dialog));
  RunModal([&] { return state.answered; });
  g_signal_handler_disconnect(dialog, id);
  gtk_widget_destroy(GTK_WIDGET(dialog));
  return state.response;
}

void OpenUri(GtkWindow* parent, const std::string& address) {
  GError* error = nullptr;
  gtk_show_uri_on_window(parent, address.c_str(), GDK_CURRENT_TIME, &error);
  // No browser, no message.
  g_clear_error(&error);
}

WindowHandle HandleOf(GtkWidget* window) {
  if (!window) return 0;
  GdkWindow* w = gtk_widget_get_window(window);
  return w && GDK_IS_X11_WINDOW(w) ? WindowHandle(gdk_x11_window_get_xid(w)) : 0;
}

}  // namespace sarvel::gtk
