// GTK: the settings dialog's window.
#include "frontends/gtk/gtk_config_view.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/base/failure.h"

namespace sarvel::gtk {
namespace {

using C = ConfigControl;

// Scroll-bar arrows repeat while held.
constexpr guint kRepeatDelayMs = 400;
constexpr guint kRepeatIntervalMs = 50;

GtkWidget* PlainLabel(std::string_view text, float xalign) {
  GtkWidget* label = gtk_label_new(std::string(text).c_str());
  gtk_label_set_xalign(GTK_LABEL(label), xalign);
  gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
  return label;
}

float XAlignOf(TextAlign align) {
  switch (align) {
    case TextAlign::kLeft:
      return 0.0f;
    case TextAlign::kRight:
      return 1.0f;
    case TextAlign::kCenter:
      return 0.5f;
  }
  return 0.0f;
}

// The label inside a button, check box or option button.
GtkLabel* CaptionLabelOf(GtkWidget* widget) {
  if (GTK_IS_LABEL(widget)) return GTK_LABEL(widget);
  if (!GTK_IS_CONTAINER(widget)) return nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  GtkLabel* found = nullptr;
  for (GList* l = children; l && !found; l = l->next) found = CaptionLabelOf(GTK_WIDGET(l->data));
  g_list_free(children);
  return found;
}

bool IsPushButton(GtkWidget* w) { return w && GTK_IS_BUTTON(w) && !GTK_IS_TOGGLE_BUTTON(w); }

}  // namespace

// The GTK signal handlers, each with the view as its data.
struct GtkConfigView::Signals {
  static void Toggled(GtkToggleButton* button, gpointer data) {
    auto* self = static_cast<GtkConfigView*>(data);
    const ConfigControl c = self->ControlOf(GTK_WIDGET(button));
    if (c == C::kCount) return;
    const bool active = gtk_toggle_button_get_active(button);
    if (IsOption(c)) {
      // The option group also reports the option that lost the selection.
      if (!active) return;
      self->AsUser([&] { self->input_->UserSelectsOption(c); });
    } else {
      self->AsUser([&] { self->input_->UserSetsCheck(c, active); });
    }
    self->ShowModelState(c);
  }

  static void Clicked(GtkButton* button, gpointer data) {
    auto* self = static_cast<GtkConfigView*>(data);
    const ConfigControl c = self->ControlOf(GTK_WIDGET(button));
    if (c != C::kCount) self->AsUser([&] { self->input_->UserClicks(c); });
  }

  // Every scroll of the user (arrows, track, thumb, keys, wheel) comes here
  // first; the bar moves only when the model sets the new position.
  static gboolean ChangeValue(GtkRange* range, GtkScrollType, double value, gpointer data) {
    auto* self = static_cast<GtkConfigView*>(data);
    const ConfigControl c = self->ControlOf(GTK_WIDGET(range));
    if (c == C::kCount) return TRUE;
    const ScrollRange r = ScrollRangeOf(c);
    const int position = int(std::lround(std::clamp(value, double(r.min), double(r.max))));
    self->AsUser([&] { self->input_->UserScrolls(c, position); });
    return TRUE;
  }

  static gboolean DeleteRequest(GtkWidget*, GdkEvent*, gpointer data) {
    auto* self = static_cast<GtkConfigView*>(data);
    self->AsUser([&] { self->input_->UserCloses(); });
    return TRUE;  // the model decides whether the window goes
  }

  static void Destroyed(GtkWidget*, gpointer data) {
    auto* self = static_cast<GtkConfigView*>(data);
    self->destroyed_ = true;
  }

  static gboolean Key(GtkWidget*, GdkEventKey* key, gpointer data) {
    return static_cast<GtkConfigView*>(data)->OnKey(*key) ? TRUE : FALSE;
  }

  static gboolean Focus(GtkWidget*, GtkDirectionType direction, gpointer data) {
    return static_cast<GtkConfigView*>(data)->OnTab(direction) ? TRUE : FALSE;
  }

  static gboolean SpinnerDraw(GtkWidget*, cairo_t* cr, gpointer data) {
    static_cast<GtkConfigView*>(data)->DrawSpinner(cr);
    return TRUE;
  }

  // The arrows of a scroll bar: the spinner is nothing but its two arrows,
  // a slider has one at each end (GTK's own steppers glide instead of
  // stepping, so the press does not reach them).
  static gboolean ArrowButton(GtkWidget* w, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<GtkConfigView*>(data);
    const ConfigControl c = self->ControlOf(w);
    if (c == C::kCount || event->button != 1) return FALSE;
    if (event->type == GDK_BUTTON_RELEASE) {
      const bool held = self->held_.control == c;
      self->ArrowRelease();
      return held;
    }
    const int width = gtk_widget_get_allocated_width(w),
              height = gtk_widget_get_allocated_height(w);
    int delta = 0;
    if (c == C::kMinutesSpinner) {
      delta = event->y < height / 2.0 ? -1 : 1;
    } else if (event->x < height) {
      delta = -1;
    } else if (event->x >= width - height) {
      delta = 1;
    }
    if (delta == 0) return FALSE;  // the track and the thumb are GTK's
    // A double click is two clicks, each of which has stepped already.
    if (event->type != GDK_BUTTON_PRESS) return TRUE;
    gtk_widget_grab_focus(w);
    self->ArrowPress(c, delta);
    return TRUE;
  }

  // The keys of a focused scroll bar, as Windows gives them: the arrows
  // step, Page Up and Page Down page, Home and End go to the ends.
  static gboolean ArrowKey(GtkWidget* w, GdkEventKey* key, gpointer data) {
    auto* self = static_cast<GtkConfigView*>(data);
    const ConfigControl c = self->ControlOf(w);
    if (c == C::kCount || (key->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) != 0) return FALSE;
    const ScrollRange r = ScrollRangeOf(c);
    int target = self->positions_[Index(c)];
    switch (key->keyval) {
      case GDK_KEY_Up:
      case GDK_KEY_KP_Up:
      case GDK_KEY_Left:
      case GDK_KEY_KP_Left:
        target -= r.small_change;
        break;
      case GDK_KEY_Down:
      case GDK_KEY_KP_Down:
      case GDK_KEY_Right:
      case GDK_KEY_KP_Right:
        target += r.small_change;
        break;
      case GDK_KEY_Page_Up:
      case GDK_KEY_KP_Page_Up:
        target -= r.large_change;
        break;
      case GDK_KEY_Page_Down:
      case GDK_KEY_KP_Page_Down:
        target += r.large_change;
        break;
      case GDK_KEY_Home:
      case GDK_KEY_KP_Home:
        target = r.min;
        break;
      case GDK_KEY_End:
      case GDK_KEY_KP_End:
        target = r.max;
        break;
      default:
        return FALSE;
    }
    target = std::clamp<int>(target, r.min, r.max);
    self->AsUser([&] { self->input_->UserScrolls(c, target); });
    return TRUE;
  }

  static gboolean SpinnerScroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
    auto* self = static_cast<GtkConfigView*>(data);
    if (event->direction == GDK_SCROLL_UP)
      self->Step(C::kMinutesSpinner, -1);
    else if (event->direction == GDK_SCROLL_DOWN)
      self->Step(C::kMinutesSpinner, 1);
    return TRUE;
  }

  static gboolean ArrowRepeat(gpointer data) {
    auto* self = static_cast<GtkConfigView*>(data);
    self->repeat_source_ = 0;
    if (self->held_.control == C::kCount) return G_SOURCE_REMOVE;
    self->Step(self->held_.control, self->held_.delta);
    // After the first delay the arrow repeats at the faster rate.
    if (self->held_.control != C::kCount)
      self->repeat_source_ = g_timeout_add(kRepeatIntervalMs, ArrowRepeat, self);
    return G_SOURCE_REMOVE;
  }

  static void StateChanged(GtkWidget* w, GtkStateFlags, gpointer data) {
    // A scroll bar that goes grey lets go of its arrow.
    auto* self = static_cast<GtkConfigView*>(data);
    if (!gtk_widget_is_sensitive(w) && self->held_.control == self->ControlOf(w))
      self->ArrowRelease();
  }
};

GtkConfigView::GtkConfigView(ResourceLibrary& resources, Process& process)
    : resources_(resources), process_(process) {}

GtkConfigView::~GtkConfigView() { Destroy(); }

template <class Fn>
void GtkConfigView::AsUser(Fn&& fn) {
  if (input_) gtk::CallModel(process_, std::forward<Fn>(fn));
}

void GtkConfigView::AddStyles() {
  const std::string face = gtk::DesktopFontFamily();
  const std::string bold_face = gtk::ClosestFontFamily("MS Sans Serif");
  // A slider's arrows are square, inside the bar's one-pixel border.
  const std::string arrow =
      std::to_string(std::max(1, gtk::Px(DesignOf(C::kLeafCountSlider).height, dpi_) - 2));
  // The layout was made for the 13-pixel lines of 8.25 pt "MS Sans Serif"
  // and the compact controls of a classic dialog. Outline fonts of that
  // point size run a pixel taller; at 8 pt they give the same lines. The
  // theme's paddings and least sizes give way to the layout.
  const std::string css =
      std::string() + "window.sarvel-config { font-family: \"" + face +
      "\"; font-size: 8pt; }\n"
      "window.sarvel-config label.bold { font-family: \"" +
      bold_face +
      "\"; font-weight: bold; }\n"
      "window.sarvel-config label.white-back { background-color: #ffffff; padding: 0 1px; }\n"
      "window.sarvel-config checkbutton, window.sarvel-config radiobutton {"
      " padding: 0; margin: 0; min-height: 0; }\n"
      "window.sarvel-config checkbutton check, window.sarvel-config radiobutton radio {"
      " min-width: 10px; min-height: 10px; margin: 0 3px 0 0; padding: 0; }\n"
      "window.sarvel-config button { padding: 2px; min-height: 0; min-width: 0; }\n"
      "window.sarvel-config entry { min-height: 0; padding: 0 3px; }\n"
      "window.sarvel-config frame > border { border-radius: 2px; }\n"
      "window.sarvel-config frame > label { margin: 0 2px 0 6px; }\n"
      "window.sarvel-config scrollbar {"
      " -GtkScrollbar-has-backward-stepper: true; -GtkScrollbar-has-forward-stepper: true;"
      " padding: 0; border: 1px solid alpha(black, 0.15); }\n"
      "window.sarvel-config scrollbar button { min-width: " +
      arrow + "px; min-height: " + arrow +
      "px; padding: 0; margin: 0; border-radius: 0; }\n"
      "window.sarvel-config scrollbar slider { min-width: 9px; min-height: 9px; margin: 1px; "
      "border: 0;"
      " border-radius: 2px; }\n"
      "window.sarvel-config .spinner-arrow { padding: 0; min-height: 0; min-width: 0; "
      "border-radius: 0; }\n";
  gtk::AddWindowCss("sarvel-config", css);
}

void GtkConfigView::Create() {
  if (window_) return;
  destroyed_ = false;
  dpi_ = gtk::ScreenDpi();
  AddStyles();
  // A click on a slider's track moves it by a page, as the dialog was
  // designed, rather than to the place clicked.
  if (GtkSettings* settings = gtk_settings_get_default())
    g_object_set(settings, "gtk-primary-button-warps-slider", FALSE, nullptr);

  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  if (!window_) Raise(Err::kOutOfMemory, "The settings window could not be created");
  gtk_widget_set_name(window_, "frmConfig");
  GtkStyleContext* style = gtk_widget_get_style_context(window_);
  gtk_style_context_add_class(style, gtk::kDialogWindowClass);
  gtk_style_context_add_class(style, "sarvel-config");
  gtk_window_set_title(GTK_WINDOW(window_), std::string(kConfigCaption).c_str());
  // A dialog: fixed size, close box only, no task-bar entry.
  gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
  gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_), TRUE);
  gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
  try {
    if (auto icon = gtk::PixbufOf(*resources_.Icon(IDI_APP)))
      gtk_window_set_icon(GTK_WINDOW(window_), icon.get());
  } catch (const RuntimeFailure&) {
    // No icon: the desktop shows its own.
  }
  g_signal_connect(window_, "delete-event", G_CALLBACK(Signals::DeleteRequest), this);
  g_signal_connect(window_, "destroy", G_CALLBACK(Signals::Destroyed), this);
  g_signal_connect(window_, "key-press-event", G_CALLBACK(Signals::Key), this);

  fixed_ = gtk_fixed_new();
  gtk_widget_set_size_request(fixed_, gtk::Px(kConfigClientWidth, dpi_),
                              gtk::Px(kConfigClientHeight, dpi_));
  gtk_container_add(GTK_CONTAINER(window_), fixed_);
  g_signal_connect(fixed_, "focus", G_CALLBACK(Signals::Focus), this);

  // Every control stands on the window, in tab order, so that a frame lies
  // beneath the controls inside it.
  for (const ConfigControlDesign& design : kConfigControls) {
    GtkWidget* w = MakeControl(design);
    widgets_[Index(design.id)] = w;
    checked_[Index(design.id)] = design.checked;
    positions_[Index(design.id)] = design.position;
    gtk_widget_set_name(w, std::string(design.name).c_str());
    gtk_widget_set_sensitive(w, design.enabled);
    const TwipRect place = WindowPlace(design.id);
    gtk_widget_set_size_request(w, gtk::Px(place.width, dpi_), gtk::Px(place.height, dpi_));
    gtk_fixed_put(GTK_FIXED(fixed_), w, gtk::Px(place.left, dpi_), gtk::Px(place.top, dpi_));
  }
  gtk_widget_show_all(fixed_);
  gtk_widget_realize(window_);
}

GtkWidget* GtkConfigView::MakeControl(const ConfigControlDesign& d) {
  const std::string caption(d.caption);
  GtkWidget* w = nullptr;
  switch (d.kind) {
    case ControlKind::kFrame:
      w = gtk_frame_new(caption.c_str());
      gtk_frame_set_label_align(GTK_FRAME(w), 0.0f, 0.5f);
      break;
    case ControlKind::kLabel: {
      w = PlainLabel(caption, XAlignOf(d.align));
      GtkStyleContext* style = gtk_widget_get_style_context(w);
      if (d.bold) gtk_style_context_add_class(style, "bold");
      if (d.white_back) gtk_style_context_add_class(style, "white-back");
      if (d.id == C::kMinutesLabel)
        gtk::SetWidgetCss(w, "label { color: " + gtk::CssColor(kMinutesBlack) + "; }");
      break;
    }
    case ControlKind::kHScrollBar: {
      const ScrollRange r = ScrollRangeOf(d.id);
      GtkAdjustment* adjustment =
          gtk_adjustment_new(d.position, r.min, r.max, r.small_change, r.large_change, 0);
      w = gtk_scrollbar_new(GTK_ORIENTATION_HORIZONTAL, adjustment);
      gtk_widget_set_can_focus(w, TRUE);
      g_signal_connect(w, "change-value", G_CALLBACK(Signals::ChangeValue), this);
      g_signal_connect(w, "button-press-event", G_CALLBACK(Signals::ArrowButton), this);
      g_signal_connect(w, "button-release-event", G_CALLBACK(Signals::ArrowButton), this);
      g_signal_connect(w, "key-press-event", G_CALLBACK(Signals::ArrowKey), this);
      g_signal_connect(w, "state-flags-changed", G_CALLBACK(Signals::StateChanged), this);
      break;
    }
    case ControlKind::kVScrollBar:
      w = MakeSpinner();
      break;
    case ControlKind::kCheckBox:
      w = gtk_check_button_new_with_mnemonic(gtk::Mnemonic(caption).c_str());
      gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w), d.checked);
      g_signal_connect(w, "toggled", G_CALLBACK(Signals::Toggled), this);
      break;
    case ControlKind::kOptionButton: {
      GtkWidget* first = widgets_[Index(kBackgroundOptions[0])];
      w = first ? gtk_radio_button_new_with_mnemonic_from_widget(GTK_RADIO_BUTTON(first),
                                                                 gtk::Mnemonic(caption).c_str())
                : gtk_radio_button_new_with_mnemonic(nullptr, gtk::Mnemonic(caption).c_str());
      if (d.checked) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w), TRUE);
      g_signal_connect(w, "toggled", G_CALLBACK(Signals::Toggled), this);
      break;
    }
    case ControlKind::kButton:
      if (d.picture) {
        w = MakePictureButton(d);
      } else {
        w = gtk_button_new_with_mnemonic(gtk::Mnemonic(caption).c_str());
        if (GtkLabel* label = CaptionLabelOf(w)) {
          // Long captions break into lines, as on a classic push button.
          gtk_label_set_line_wrap(label, TRUE);
          gtk_label_set_justify(label, GTK_JUSTIFY_CENTER);
          gtk_label_set_max_width_chars(label, 1);
        }
      }
      g_signal_connect(w, "clicked", G_CALLBACK(Signals::Clicked), this);
      break;
    case ControlKind::kTextBox:
      w = gtk_entry_new();
      gtk_entry_set_text(GTK_ENTRY(w), caption.c_str());
      // It only shows the picture's path: the chooser sets it.
      gtk_editable_set_editable(GTK_EDITABLE(w), FALSE);
      gtk_entry_set_width_chars(GTK_ENTRY(w), 1);
      break;
  }
  return w;
}

// The picture (32 x 32 at 96 dpi) above the caption, both centred.
GtkWidget* GtkConfigView::MakePictureButton(const ConfigControlDesign& d) {
  GtkWidget* button = gtk_button_new();
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, gtk::Px(45, dpi_));
  gtk_widget_set_halign(box, GTK_ALIGN_CENTER);
  gtk_widget_set_valign(box, GTK_ALIGN_CENTER);
  const int size = int(std::lround(32.0 * dpi_ / 96.0));
  GtkWidget* image = nullptr;
  try {
    if (auto pixbuf = gtk::PixbufOf(*resources_.Icon(d.picture), size))
      image = gtk_image_new_from_pixbuf(pixbuf.get());
  } catch (const RuntimeFailure&) {
    // The button shows its caption alone.
  }
  if (image) gtk_box_pack_start(GTK_BOX(box), image, FALSE, FALSE, 0);
  GtkWidget* label = gtk_label_new_with_mnemonic(gtk::Mnemonic(d.caption).c_str());
  gtk_label_set_mnemonic_widget(GTK_LABEL(label), button);
  gtk_box_pack_start(GTK_BOX(box), label, FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(button), box);
  return button;
}

// Two arrow buttons on top of each other, with no track between them: what
// a scroll bar of this size is. The positions run from 1 at the top to 99
// at the bottom; the model shows 100 - position minutes.
GtkWidget* GtkConfigView::MakeSpinner() {
  GtkWidget* w = gtk_drawing_area_new();
  gtk_widget_set_can_focus(w, TRUE);
  gtk_widget_add_events(w, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_KEY_PRESS_MASK |
                               GDK_FOCUS_CHANGE_MASK | GDK_SCROLL_MASK);
  g_signal_connect(w, "draw", G_CALLBACK(Signals::SpinnerDraw), this);
  g_signal_connect(w, "button-press-event", G_CALLBACK(Signals::ArrowButton), this);
  g_signal_connect(w, "button-release-event", G_CALLBACK(Signals::ArrowButton), this);
  g_signal_connect(w, "key-press-event", G_CALLBACK(Signals::ArrowKey), this);
  g_signal_connect(w, "scroll-event", G_CALLBACK(Signals::SpinnerScroll), this);
  g_signal_connect(w, "state-flags-changed", G_CALLBACK(Signals::StateChanged), this);
  return w;
}

void GtkConfigView::Step(ConfigControl c, int delta) {
  const ScrollRange r = ScrollRangeOf(c);
  const int target = std::clamp<int>(positions_[Index(c)] + delta * r.small_change, r.min, r.max);
  AsUser([&] { input_->UserScrolls(c, target); });
}

void GtkConfigView::ArrowPress(ConfigControl c, int delta) {
  ArrowRelease();
  held_ = {c, delta};
  if (c == C::kMinutesSpinner) gtk_widget_queue_draw(widgets_[Index(c)]);
  Step(c, delta);
  if (held_.control != C::kCount && !destroyed_)
    repeat_source_ = g_timeout_add(kRepeatDelayMs, Signals::ArrowRepeat, this);
}

void GtkConfigView::ArrowRelease() {
  if (repeat_source_) g_source_remove(repeat_source_);
  repeat_source_ = 0;
  const ConfigControl was = held_.control;
  held_ = {};
  if (was == C::kMinutesSpinner && widgets_[Index(was)])
    gtk_widget_queue_draw(widgets_[Index(was)]);
}

void GtkConfigView::DrawSpinner(cairo_t* cr) {
  GtkWidget* w = widgets_[Index(C::kMinutesSpinner)];
  if (!w) return;
  const int width = gtk_widget_get_allocated_width(w), height = gtk_widget_get_allocated_height(w);
  const int half = height / 2;
  // Each arrow is drawn as the theme draws a button.
  GtkWidgetPath* path = gtk_widget_path_copy(gtk_widget_get_path(w));
  gtk_widget_path_append_type(path, GTK_TYPE_BUTTON);
  gtk_widget_path_iter_set_object_name(path, -1, "button");
  gtk_widget_path_iter_add_class(path, -1, "spinner-arrow");
  GtkStyleContext* style = gtk_style_context_new();
  gtk_style_context_set_path(style, path);
  gtk_style_context_set_parent(style, gtk_widget_get_style_context(w));
  gtk_style_context_set_scale(style, gtk_widget_get_scale_factor(w));
  gtk_widget_path_unref(path);
  const GtkStateFlags base =
      GtkStateFlags(gtk_widget_get_state_flags(w) &
                    ~(GTK_STATE_FLAG_ACTIVE | GTK_STATE_FLAG_PRELIGHT | GTK_STATE_FLAG_FOCUSED));
  for (int arrow : {-1, 1}) {
    const int top = arrow < 0 ? 0 : half;
    const int h = arrow < 0 ? half : height - half;
    GtkStateFlags flags = base;
    if (held_.control == C::kMinutesSpinner && held_.delta == arrow)
      flags = GtkStateFlags(flags | GTK_STATE_FLAG_ACTIVE);
    gtk_style_context_set_state(style, flags);
    gtk_render_background(style, cr, 0, top, width, h);
    gtk_render_frame(style, cr, 0, top, width, h);
    const double size = std::max(5.0, std::min<double>(width, h) - 1.0);
    gtk_render_arrow(style, cr, arrow < 0 ? 0.0 : G_PI, (width - size) / 2.0,
                     top + (h - size) / 2.0, size);
  }
  g_object_unref(style);
  if (gtk_widget_has_visible_focus(w))
    gtk_render_focus(gtk_widget_get_style_context(w), cr, 1, 1, width - 2, height - 2);
}

void GtkConfigView::Show(ShowMode mode) {
  if (!window_) return;
  if (mode == ShowMode::kModal) gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
  gtk_window_present(GTK_WINDOW(window_));
  if (mode == ShowMode::kModal) gtk::RunModal([this] { return destroyed_; });
}

void GtkConfigView::Destroy() {
  ArrowRelease();
  if (window_) {
    GtkWidget* w = window_;
    window_ = nullptr;
    fixed_ = nullptr;
    widgets_.fill(nullptr);
    g_signal_handlers_disconnect_matched(w, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    gtk_widget_destroy(w);
  }
  destroyed_ = true;
}

// ---------------------------------------------------------------- model to window

void GtkConfigView::Block(ConfigControl c, bool block) {
  GtkWidget* w = widgets_[Index(c)];
  if (!w) return;
  if (block)
    g_signal_handlers_block_matched(w, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
  else
    g_signal_handlers_unblock_matched(w, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
}

void GtkConfigView::SetChecked(ConfigControl c, bool checked) {
  checked_[Index(c)] = checked;
  GtkWidget* w = widgets_[Index(c)];
  if (!w || !GTK_IS_TOGGLE_BUTTON(w)) return;
  // Selecting an option clears the others of the group: none of them may
  // report it.
  if (IsOption(c)) {
    for (ConfigControl option : kBackgroundOptions) Block(option, true);
  } else {
    Block(c, true);
  }
  // An option button is cleared by selecting another one; the model does
  // that in the same breath.
  if (checked || !IsOption(c)) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w), checked);
  if (IsOption(c)) {
    for (ConfigControl option : kBackgroundOptions) Block(option, false);
  } else {
    Block(c, false);
  }
}

void GtkConfigView::SetPosition(ConfigControl c, int16_t position) {
  positions_[Index(c)] = position;
  GtkWidget* w = widgets_[Index(c)];
  if (!w || !GTK_IS_RANGE(w)) return;
  Block(c, true);
  gtk_range_set_value(GTK_RANGE(w), position);
  Block(c, false);
}

void GtkConfigView::SetEnabled(ConfigControl c, bool enabled) {
  GtkWidget* w = widgets_[Index(c)];
  if (!w) return;
  // A control that goes grey while it has the focus hands it on.
  if (!enabled && window_ && gtk_window_get_focus(GTK_WINDOW(window_)) == w)
    gtk_widget_child_focus(window_, GTK_DIR_TAB_FORWARD);
  gtk_widget_set_sensitive(w, enabled);
}

void GtkConfigView::SetText(ConfigControl c, const std::string& text) {
  GtkWidget* w = widgets_[Index(c)];
  if (!w) return;
  if (GTK_IS_ENTRY(w)) {
    gtk_entry_set_text(GTK_ENTRY(w), text.c_str());
  } else if (GTK_IS_FRAME(w)) {
    gtk_frame_set_label(GTK_FRAME(w), text.c_str());
  } else if (GTK_IS_LABEL(w)) {
    gtk_label_set_text(GTK_LABEL(w), text.c_str());
  } else if (GtkLabel* label = CaptionLabelOf(w)) {
    gtk_label_set_text_with_mnemonic(label, gtk::Mnemonic(text).c_str());
  }
}

void GtkConfigView::SetForeColor(ConfigControl c, gfx::Argb color) {
  GtkWidget* w = widgets_[Index(c)];
  if (!w) return;
  if (GtkLabel* label = CaptionLabelOf(w))
    gtk::SetWidgetCss(GTK_WIDGET(label), "label { color: " + gtk::CssColor(color) + "; }");
}

// ---------------------------------------------------------------- dialogs

FileDialogResult GtkConfigView::ShowOpenDialog(const FileDialogRequest& request) {
  GtkWidget* dialog =
      gtk_file_chooser_dialog_new("Open", window(), GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
                                  GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  // "description|patterns|description|patterns...", patterns separated by
  // ";". Windows matches them without regard to case, and so do we.
  std::string_view rest = request.filter;
  while (!rest.empty()) {
    const size_t bar = rest.find('|');
    const std::string_view name = rest.substr(0, bar);
    std::string_view patterns =
        bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    const size_t next = patterns.find('|');
    rest = next == std::string_view::npos ? std::string_view() : patterns.substr(next + 1);
    patterns = patterns.substr(0, next);
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, std::string(name).c_str());
    while (!patterns.empty()) {
      const size_t semi = patterns.find(';');
      std::string glob;
      for (char ch : patterns.substr(0, semi)) {
        if (g_ascii_isalpha(ch)) {
          glob += '[';
          glob += g_ascii_tolower(ch);
          glob += g_ascii_toupper(ch);
          glob += ']';
        } else {
          glob += ch;
        }
      }
      if (!glob.empty()) gtk_file_filter_add_pattern(filter, glob.c_str());
      patterns = semi == std::string_view::npos ? std::string_view() : patterns.substr(semi + 1);
    }
    gtk_file_chooser_add_filter(chooser, filter);
  }
  // The name the component held from its last opening.
  if (!request.file_name.empty()) {
    if (g_file_test(request.file_name.c_str(), G_FILE_TEST_IS_REGULAR)) {
      gtk_file_chooser_set_filename(chooser, request.file_name.c_str());
    } else {
      gchar* folder = g_path_get_dirname(request.file_name.c_str());
      if (g_file_test(folder, G_FILE_TEST_IS_DIR))
        gtk_file_chooser_set_current_folder(chooser, folder);
      g_free(folder);
    }
  }
  std::string chosen;
  // The chooser is destroyed by RunDialog; its answer is read before.
  g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkDialog* d, int response, gpointer out) {
                     if (response != GTK_RESPONSE_ACCEPT) return;
                     if (gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(d))) {
                       *static_cast<std::string*>(out) = name;
                       g_free(name);
                     }
                   }),
                   &chosen);
  const int response = gtk::RunDialog(GTK_DIALOG(dialog));
  if (response != GTK_RESPONSE_ACCEPT || chosen.empty())
    return FileDialogResult{true, request.file_name};
  return FileDialogResult{false, chosen};
}

void GtkConfigView::ShowMessage(const std::string& title, const std::string& text) {
  std::string lines = text;
  for (size_t at = lines.find("\r\n"); at != std::string::npos; at = lines.find("\r\n", at))
    lines.erase(at, 1);
  GtkWidget* box = gtk_message_dialog_new(window(), GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                          GTK_BUTTONS_OK, "%s", lines.c_str());
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  gtk::RunDialog(GTK_DIALOG(box));
}

void GtkConfigView::OpenInBrowser(const std::string& address) { gtk::OpenUri(window(), address); }

// ---------------------------------------------------------------- window to model

ConfigControl GtkConfigView::ControlOf(GtkWidget* widget) const {
  for (size_t i = 0; i < widgets_.size(); ++i)
    if (widget && widgets_[i] == widget) return ConfigControl(i);
  return C::kCount;
}

void GtkConfigView::ShowModelState(ConfigControl c) {
  // The user's click may have closed the window.
  if (!window_) return;
  if (IsOption(c)) {
    for (ConfigControl option : kBackgroundOptions) {
      if (checked_[Index(option)]) SetChecked(option, true);
    }
  } else if (IsCheckBox(c)) {
    GtkWidget* w = widgets_[Index(c)];
    if (w && bool(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w))) != checked_[Index(c)])
      SetChecked(c, checked_[Index(c)]);
  }
}

bool GtkConfigView::OnKey(const GdkEventKey& key) {
  if ((key.state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) != 0) return false;
  switch (key.keyval) {
    case GDK_KEY_Escape:
      AsUser([&] { input_->UserCloses(); });
      return true;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter: {
      // Enter presses the focused push button, anywhere else OK.
      GtkWidget* focus = window_ ? gtk_window_get_focus(GTK_WINDOW(window_)) : nullptr;
      if (IsPushButton(focus)) return false;
      AsUser([&] { input_->UserClicks(C::kOkButton); });
      return true;
    }
    default:
      return false;
  }
}

// Tab and Shift+Tab walk the controls in the order of the table; of the
// option group only the selected option is a stop, as in any option group.
bool GtkConfigView::OnTab(GtkDirectionType direction) {
  if (!window_ || (direction != GTK_DIR_TAB_FORWARD && direction != GTK_DIR_TAB_BACKWARD))
    return false;
  const int count = int(kConfigControlCount);
  const int step = direction == GTK_DIR_TAB_FORWARD ? 1 : -1;
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window_));
  int current = -1;
  for (int i = 0; i < count && focus; ++i) {
    GtkWidget* w = widgets_[size_t(i)];
    if (w && (w == focus || gtk_widget_is_ancestor(focus, w))) current = i;
  }
  if (current < 0) current = step > 0 ? -1 : count;
  // Past the last stop the walk starts again at the first.
  for (int k = 1; k <= count; ++k) {
    const int i = ((current + step * k) % count + count) % count;
    GtkWidget* w = widgets_[size_t(i)];
    const ConfigControl c = ConfigControl(i);
    if (!w || !gtk_widget_get_can_focus(w) || !gtk_widget_is_sensitive(w) ||
        !gtk_widget_get_visible(w))
      continue;
    if (IsOption(c) && !checked_[size_t(i)]) continue;
    gtk_widget_grab_focus(w);
    return true;
  }
  return false;
}

WindowHandle GtkConfigView::handle() const { return gtk::HandleOf(window_); }
void GtkConfigView::Bind(ConfigInput& input) { input_ = &input; }

}  // namespace sarvel::gtk
