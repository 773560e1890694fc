// GTK: the about box's window.
#include "frontends/gtk/gtk_info_view.h"

#include <cstdio>
#include <string>

#include "core/base/failure.h"
#include "core/gfx/painter.h"

namespace sarvel::gtk {
namespace {

// The settings dialog, when one of ours is on the screen: the about box is
// modal over it.
GtkWindow* VisibleDialog(GtkWidget* except) {
  GtkWindow* found = nullptr;
  GList* windows = gtk_window_list_toplevels();
  for (GList* l = windows; l && !found; l = l->next) {
    GtkWidget* w = GTK_WIDGET(l->data);
    if (w != except && gtk_widget_get_visible(w) &&
        gtk_style_context_has_class(gtk_widget_get_style_context(w), gtk::kDialogWindowClass))
      found = GTK_WINDOW(w);
  }
  g_list_free(windows);
  return found;
}

}  // namespace

struct GtkInfoView::Signals {
  static gboolean Draw(GtkWidget*, cairo_t* cr, gpointer data) {
    auto* self = static_cast<GtkInfoView*>(data);
    if (self->background_) {
      cairo_set_source_surface(cr, self->background_.get(), 0, 0);
      cairo_paint(cr);
    }
    return FALSE;  // the labels and the button come on top
  }

  static void OkClicked(GtkButton*, gpointer data) {
    auto* self = static_cast<GtkInfoView*>(data);
    self->AsUser([&] { self->input_->UserClicksOK(); });
  }

  static gboolean AddressReleased(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<GtkInfoView*>(data);
    if (event->button != 1) return FALSE;
    self->AsUser([&] { self->input_->UserClicksHomepage(); });
    return TRUE;
  }

  // Over the address the pointer becomes a hand.
  static gboolean AddressCrossing(GtkWidget* w, GdkEventCrossing* event, gpointer) {
    GdkWindow* window = gtk_widget_get_window(gtk_widget_get_toplevel(w));
    if (!window) return FALSE;
    GdkCursor* cursor = event->type == GDK_ENTER_NOTIFY
                            ? gdk_cursor_new_from_name(gdk_window_get_display(window), "pointer")
                            : nullptr;
    gdk_window_set_cursor(window, cursor);
    if (cursor) g_object_unref(cursor);
    return FALSE;
  }

  // Enter, Escape and the close request all mean OK.
  static gboolean Key(GtkWidget*, GdkEventKey* key, gpointer data) {
    auto* self = static_cast<GtkInfoView*>(data);
    switch (key->keyval) {
      case GDK_KEY_Escape:
      case GDK_KEY_Return:
      case GDK_KEY_KP_Enter:
      case GDK_KEY_ISO_Enter:
        self->AsUser([&] { self->input_->UserClicksOK(); });
        return TRUE;
      default:
        return FALSE;
    }
  }

  static gboolean DeleteRequest(GtkWidget*, GdkEvent*, gpointer data) {
    auto* self = static_cast<GtkInfoView*>(data);
    self->AsUser([&] { self->input_->UserClicksOK(); });
    return TRUE;
  }

  static void Destroyed(GtkWidget*, gpointer data) {
    static_cast<GtkInfoView*>(data)->destroyed_ = true;
  }
};

GtkInfoView::GtkInfoView(ResourceLibrary& resources, Process& process)
    : resources_(resources), process_(process) {}

GtkInfoView::~GtkInfoView() { Destroy(); }

template <class Fn>
void GtkInfoView::AsUser(Fn&& fn) {
  if (input_) gtk::CallModel(process_, std::forward<Fn>(fn));
}

void GtkInfoView::AddStyles() {
  gtk::AddWindowCss("sarvel-info",
                    "window.sarvel-info { background-color: " + gtk::CssColor(kInfoBackColor) +
                        "; }\n"
                        "window.sarvel-info label { padding: 0; margin: 0; }\n"
                        "window.sarvel-info button { padding: 0; min-height: 0; min-width: 0; }\n");
}

void GtkInfoView::Create() {
  if (window_) return;
  destroyed_ = false;
  dpi_ = gtk::ScreenDpi();
  AddStyles();

  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  if (!window_) Raise(Err::kOutOfMemory, "The about box could not be created");
  gtk_widget_set_name(window_, "frmInfo");
  GtkStyleContext* style = gtk_widget_get_style_context(window_);
  gtk_style_context_add_class(style, gtk::kDialogWindowClass);
  gtk_style_context_add_class(style, "sarvel-info");
  // No caption, no control box, no task-bar entry; it places itself.
  gtk_window_set_title(GTK_WINDOW(window_), "");
  gtk_window_set_decorated(GTK_WINDOW(window_), FALSE);
  gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
  gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_), TRUE);
  gtk_window_set_skip_pager_hint(GTK_WINDOW(window_), TRUE);
  g_signal_connect(window_, "delete-event", G_CALLBACK(Signals::DeleteRequest), this);
  g_signal_connect(window_, "destroy", G_CALLBACK(Signals::Destroyed), this);
  g_signal_connect(window_, "key-press-event", G_CALLBACK(Signals::Key), this);

  GtkWidget* fixed = gtk_fixed_new();
  gtk_widget_set_size_request(fixed, gtk::Px(kInfoClientWidth, dpi_),
                              gtk::Px(kInfoClientHeight, dpi_));
  gtk_container_add(GTK_CONTAINER(window_), fixed);
  g_signal_connect(fixed, "draw", G_CALLBACK(Signals::Draw), this);

  const std::string face = gtk::ClosestFontFamily("MS Sans Serif");
  for (const InfoControlDesign& design : kInfoControls) {
    if (design.kind == InfoKind::kPicture) continue;
    const std::string caption(design.caption);
    char size[24];
    std::snprintf(size, sizeof size, "%d.%02dpt", design.point_size_x100 / 100,
                  design.point_size_x100 % 100);
    std::string css = "font-family: \"" + face + "\"; font-size: " + size +
                      "; font-weight: " + (design.bold ? "bold" : "normal") + ";";
    GtkWidget* w = nullptr;
    GtkWidget* placed = nullptr;
    if (design.kind == InfoKind::kButton) {
      w = gtk_button_new_with_mnemonic(gtk::Mnemonic(caption).c_str());
      gtk_widget_set_can_default(w, TRUE);
      g_signal_connect(w, "clicked", G_CALLBACK(Signals::OkClicked), this);
      if (GtkWidget* label = gtk_bin_get_child(GTK_BIN(w)))
        gtk::SetWidgetCss(label, "label { " + css + " }");
      placed = w;
    } else {
      w = gtk_label_new(caption.c_str());
      gtk_label_set_xalign(GTK_LABEL(w), 0.5f);
      gtk_label_set_yalign(GTK_LABEL(w), 0.0f);
      gtk_label_set_justify(GTK_LABEL(w), GTK_JUSTIFY_CENTER);
      css += " color: " + gtk::CssColor(design.fore_color) + ";";
      if (!design.transparent) css += " background-color: #ffffff;";
      gtk::SetWidgetCss(w, "label { " + css + " }");
      if (design.underline) {
        PangoAttrList* attributes = pango_attr_list_new();
        pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        gtk_label_set_attributes(GTK_LABEL(w), attributes);
        pango_attr_list_unref(attributes);
      }
      placed = w;
      if (design.id == InfoControl::kHomepage) {
        placed = gtk_event_box_new();
        gtk_event_box_set_visible_window(GTK_EVENT_BOX(placed), FALSE);
        gtk_widget_add_events(
            placed, GDK_BUTTON_RELEASE_MASK | GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK);
        gtk_container_add(GTK_CONTAINER(placed), w);
        g_signal_connect(placed, "button-release-event", G_CALLBACK(Signals::AddressReleased),
                         this);
        g_signal_connect(placed, "enter-notify-event", G_CALLBACK(Signals::AddressCrossing), this);
        g_signal_connect(placed, "leave-notify-event", G_CALLBACK(Signals::AddressCrossing), this);
      }
    }
    gtk_widget_set_name(w, std::string(design.name).c_str());
    widgets_[Index(design.id)] = w;
    gtk_widget_set_size_request(placed, gtk::Px(design.width, dpi_), gtk::Px(design.height, dpi_));
    gtk_fixed_put(GTK_FIXED(fixed), placed, gtk::Px(design.left, dpi_), gtk::Px(design.top, dpi_));
  }
  RenderBackground();
  gtk_widget_show_all(fixed);
  gtk_widget_realize(window_);
}

// The pictures lie beneath every control: drawn once into the background,
// which the transparent labels then show through.
void GtkInfoView::RenderBackground() {
  const int w = gtk::Px(kInfoClientWidth, dpi_), h = gtk::Px(kInfoClientHeight, dpi_);
  gfx::Surface surface(w, h, kInfoBackColor);
  surface.Clear();
  for (const InfoControlDesign& design : kInfoControls) {
    if (design.kind != InfoKind::kPicture) continue;
    try {
      if (design.id == InfoControl::kDiskPicture) {
        gfx::DrawStretched(surface, *resources_.Bitmap(design.picture), {0, 0, w, h});
      } else {
        gfx::DrawIcon(surface, *resources_.Icon(design.picture), float(gtk::Px(design.left, dpi_)),
                      float(gtk::Px(design.top, dpi_)), gtk::Px(design.width, dpi_),
                      gtk::Px(design.height, dpi_));
      }
    } catch (const RuntimeFailure&) {
      // A picture that cannot be read leaves the back colour.
    }
  }
  background_ = gtk::CairoSurfaceOf(surface);
}

void GtkInfoView::Show(ShowMode mode) {
  if (!window_) return;
  if (GtkWindow* owner = VisibleDialog(window_))
    gtk_window_set_transient_for(GTK_WINDOW(window_), owner);
  if (mode == ShowMode::kModal) gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
  gtk_window_present(GTK_WINDOW(window_));
  if (GtkWidget* ok = widgets_[Index(InfoControl::kOk)]) {
    gtk_widget_grab_focus(ok);
    gtk_widget_grab_default(ok);
  }
  if (mode == ShowMode::kModal) gtk::RunModal([this] { return destroyed_; });
}

void GtkInfoView::Destroy() {
  if (window_) {
    GtkWidget* w = window_;
    window_ = nullptr;
    widgets_.fill(nullptr);
    g_signal_handlers_disconnect_matched(w, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    gtk_widget_destroy(w);
  }
  background_.reset();
  destroyed_ = true;
}

GdkRectangle GtkInfoView::PrimaryMonitor() const {
  GdkRectangle r{0, 0, 1024, 768};
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return r;
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (!monitor && gdk_display_get_n_monitors(display) > 0)
    monitor = gdk_display_get_monitor(display, 0);
  if (monitor) gdk_monitor_get_geometry(monitor, &r);
  return r;
}

// The primary monitor, whose top-left corner Move counts from.
TwipSize GtkInfoView::ScreenSize() {
  const GdkRectangle r = PrimaryMonitor();
  return {gtk::Twips(r.width, dpi_), gtk::Twips(r.height, dpi_)};
}

// Undecorated: the window is its client area.
TwipSize GtkInfoView::WindowSize() {
  return {gtk::Twips(gtk::Px(kInfoClientWidth, dpi_), dpi_),
          gtk::Twips(gtk::Px(kInfoClientHeight, dpi_), dpi_)};
}

void GtkInfoView::Move(int32_t left, int32_t top) {
  if (!window_) return;
  const GdkRectangle r = PrimaryMonitor();
  gtk_window_move(GTK_WINDOW(window_), r.x + gtk::Px(left, dpi_), r.y + gtk::Px(top, dpi_));
}

void GtkInfoView::SetText(InfoControl label, const std::string& text) {
  GtkWidget* w = widgets_[Index(label)];
  if (w && GTK_IS_LABEL(w)) gtk_label_set_text(GTK_LABEL(w), text.c_str());
}

void GtkInfoView::OpenInBrowser(const std::string& address) { gtk::OpenUri(window(), address); }

WindowHandle GtkInfoView::handle() const { return gtk::HandleOf(window_); }
void GtkInfoView::Bind(InfoInput& input) { input_ = &input; }

}  // namespace sarvel::gtk
