// The settings dialog and the about box as GTK windows on a real display,
// over the real models: configuration mode runs as the program runs it (Main
// "/C" through the X11 form factory), with the settings in an ini file of a
// temporary folder. Clicks and keys are faked through the server (XTEST),
// so the widgets, their places and their signals are all on the way; the
// settings file holds the verdict. Fails without a display.
#include <gtest/gtest.h>

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/dialogs/config_form.h"
#include "app/dialogs/info_form.h"
#include "app/forms/app_forms.h"
#include "app/maker.h"
#include "frontends/gtk/gtk_config_view.h"
#include "frontends/gtk/gtk_info_view.h"
#include "frontends/posix/ini_store.h"
#include "frontends/x11/forms_x11.h"
#include "tests/frontends/x11/display_required.h"
#include "tests/support/headless_platform.h"
#include "tests/support/scripted_random.h"
#include "tests/support/test_app.h"

namespace sarvel::x11 {
namespace {

using gtk::GtkConfigView;
using gtk::GtkInfoView;

using C = ConfigControl;
using Settings = std::map<std::string, std::string>;

::Display* g_input = nullptr;  // the connection that fakes the user's input

gint64 NowMs() { return g_get_monotonic_time() / 1000; }

// Lets GTK take in what the server has sent, for at least `ms`.
void Pump(int ms = 30) {
  const gint64 until = NowMs() + ms;
  do {
    gdk_display_sync(gdk_display_get_default());
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    g_usleep(2000);
  } while (NowMs() < until);
}

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
  for (const gint64 until = NowMs() + ms; !done(); Pump(5))
    if (NowMs() > until) return false;
  return true;
}

// Runs `act` from inside whatever loop runs once `ready` answers true (a
// modal window's); after ten seconds it gives up and closes what is open.
void When(std::function<bool()> ready, std::function<void()> act) {
  struct Job {
    std::function<bool()> ready;
    std::function<void()> act;
    gint64 deadline;
  };
  g_timeout_add(
      20,
      +[](gpointer data) -> gboolean {
        auto* j = static_cast<Job*>(data);
        if (!j->ready() && NowMs() < j->deadline) return G_SOURCE_CONTINUE;
        if (j->ready()) {
          j->act();
        } else {
          ADD_FAILURE() << "the window never came";
          GList* all = gtk_window_list_toplevels();
          for (GList* l = all; l; l = l->next)
            if (gtk_window_get_modal(GTK_WINDOW(l->data))) gtk_window_close(GTK_WINDOW(l->data));
          g_list_free(all);
        }
        delete j;
        return G_SOURCE_REMOVE;
      },
      new Job{std::move(ready), std::move(act), NowMs() + 10000});
}

// A pointer click at a point of the widget, as fractions of its size.
void Click(GtkWidget* w, double fx = 0.5, double fy = 0.5) {
  GtkWidget* top = gtk_widget_get_toplevel(w);
  int x = 0, y = 0, ox = 0, oy = 0;
  gtk_widget_translate_coordinates(w, top, int(gtk_widget_get_allocated_width(w) * fx),
                                   int(gtk_widget_get_allocated_height(w) * fy), &x, &y);
  gdk_window_get_origin(gtk_widget_get_window(top), &ox, &oy);
  XTestFakeMotionEvent(g_input, -1, ox + x, oy + y, CurrentTime);
  XTestFakeButtonEvent(g_input, 1, True, CurrentTime);
  XTestFakeButtonEvent(g_input, 1, False, CurrentTime);
  XSync(g_input, False);
  Pump();
}

// A key, with Alt held when asked, to the window, which first gets the
// focus as a window manager would give it.
void Key(GtkWidget* window, guint keyval, bool alt = false) {
  if (!gtk_window_is_active(GTK_WINDOW(window))) {
    gdk_window_focus(gtk_widget_get_window(window), GDK_CURRENT_TIME);
    WaitFor([&] { return bool(gtk_window_is_active(GTK_WINDOW(window))); }, 2000);
  }
  const KeyCode alt_key = XKeysymToKeycode(g_input, XK_Alt_L),
                code = XKeysymToKeycode(g_input, keyval);
  if (alt) XTestFakeKeyEvent(g_input, alt_key, True, CurrentTime);
  XTestFakeKeyEvent(g_input, code, True, CurrentTime);
  XTestFakeKeyEvent(g_input, code, False, CurrentTime);
  if (alt) XTestFakeKeyEvent(g_input, alt_key, False, CurrentTime);
  XSync(g_input, False);
  Pump();
}

std::string LabelText(GtkWidget* w) {
  return GTK_IS_LABEL(w) ? gtk_label_get_text(GTK_LABEL(w)) : "";
}
bool Active(GtkWidget* w) { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w)); }
bool Sensitive(GtkWidget* w) { return gtk_widget_get_sensitive(w); }

gfx::Argb TextColour(GtkWidget* w) {
  GdkRGBA c{};
  gtk_style_context_get_color(gtk_widget_get_style_context(w), gtk_widget_get_state_flags(w), &c);
  return gfx::Rgb(uint8_t(c.red * 255 + 0.5), uint8_t(c.green * 255 + 0.5),
                  uint8_t(c.blue * 255 + 0.5));
}

// The mapped window of a type (file chooser, message box), if any.
GtkWidget* Shown(GType type) {
  GtkWidget* found = nullptr;
  GList* all = gtk_window_list_toplevels();
  for (GList* l = all; l; l = l->next)
    if (G_TYPE_CHECK_INSTANCE_TYPE(l->data, type) && gtk_widget_get_mapped(GTK_WIDGET(l->data)))
      found = GTK_WIDGET(l->data);
  g_list_free(all);
  return found;
}

void ChooseFile(GtkWidget* chooser, const std::string& path) {
  gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(chooser), path.c_str());
  WaitFor([&] {
    gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
    const bool chosen = name && path == name;
    g_free(name);
    return chosen;
  });
}

void Touch(const std::string& path) { std::fclose(std::fopen(path.c_str(), "w")); }

// Every label inside `w`, the frame's caption and the button's included.
void CollectLabels(GtkWidget* w, std::vector<GtkLabel*>& out) {
  if (GTK_IS_LABEL(w)) out.push_back(GTK_LABEL(w));
  if (GTK_IS_CONTAINER(w))
    gtk_container_forall(
        GTK_CONTAINER(w),
        +[](GtkWidget* child, gpointer list) {
          CollectLabels(child, *static_cast<std::vector<GtkLabel*>*>(list));
        },
        &out);
}

// Where the label's letters are drawn, in its window's coordinates.
GdkRectangle Letters(GtkLabel* label) {
  PangoRectangle ink{};
  pango_layout_get_pixel_extents(gtk_label_get_layout(label), &ink, nullptr);
  int x = 0, y = 0;
  gtk_label_get_layout_offsets(label, &x, &y);
  return {x + ink.x, y + ink.y, ink.width, ink.height};
}

bool Inside(const GdkRectangle& inner, const GdkRectangle& outer) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

std::string RectText(const GdkRectangle& r) {
  return std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.x) +
         "+" + std::to_string(r.y);
}

// What of the captions of `control` does not show whole: letters outside
// the control's design place or outside what the label may draw on, or a
// text cut short with an ellipsis. Empty when all shows.
std::string CaptionMisfit(const std::string& name, GtkWidget* control, const GdkRectangle& place) {
  std::vector<GtkLabel*> labels;
  CollectLabels(control, labels);
  std::string misfit;
  for (GtkLabel* label : labels) {
    const GdkRectangle letters = Letters(label);
    if (letters.width == 0) continue;
    // Where the label may draw: its allocation, widened by the theme's
    // shadows and by letters that overhang their advance.
    GtkAllocation own;
    gtk_widget_get_clip(GTK_WIDGET(label), &own);
    const std::string text = gtk_label_get_text(label);
    if (pango_layout_is_ellipsized(gtk_label_get_layout(label)))
      misfit += name + " \"" + text + "\" is cut short; ";
    if (!Inside(letters, place) || !Inside(letters, own))
      misfit += name + " \"" + text + "\": letters " + RectText(letters) + ", label " +
                RectText(own) + ", place " + RectText(place) + "; ";
  }
  return misfit;
}

// The controls of the settings dialog lying over the letters of another's
// caption (they are drawn later, on top). Frames hold the others.
std::string CaptionOverlaps(const std::function<GtkWidget*(ConfigControl)>& widget) {
  std::string overlaps;
  for (const ConfigControlDesign& a : kConfigControls) {
    if (a.kind == ControlKind::kFrame) continue;
    std::vector<GtkLabel*> labels;
    CollectLabels(widget(a.id), labels);
    for (GtkLabel* label : labels) {
      const GdkRectangle letters = Letters(label);
      for (const ConfigControlDesign& b : kConfigControls) {
        if (b.id == a.id || b.kind == ControlKind::kFrame) continue;
        GtkAllocation other;
        gtk_widget_get_allocation(widget(b.id), &other);
        if (letters.width > 0 && gdk_rectangle_intersect(&letters, &other, nullptr))
          overlaps +=
              std::string(b.name) + " lies over the caption of " + std::string(a.name) + "; ";
      }
    }
  }
  return overlaps;
}

GdkRectangle PlaceOf(const TwipRect& t, double dpi) {
  return {gtk::Px(t.left, dpi), gtk::Px(t.top, dpi), gtk::Px(t.width, dpi), gtk::Px(t.height, dpi)};
}

// The window has the client size in twips and stands in the middle of its
// monitor, to a pixel.
void ExpectCentredAtItsSize(GtkWidget* window, int width_twips, int height_twips, double dpi) {
  const int width = gtk::Px(width_twips, dpi), height = gtk::Px(height_twips, dpi);
  EXPECT_EQ(gtk_widget_get_allocated_width(window), width);
  EXPECT_EQ(gtk_widget_get_allocated_height(window), height);
  GdkWindow* own = gtk_widget_get_window(window);
  int x = 0, y = 0;
  gdk_window_get_origin(own, &x, &y);
  GdkRectangle screen;
  gdk_monitor_get_geometry(gdk_display_get_monitor_at_window(gdk_display_get_default(), own),
                           &screen);
  EXPECT_NEAR(x, screen.x + (screen.width - width) / 2, 1);
  EXPECT_NEAR(y, screen.y + (screen.height - height) / 2, 1);
}

// The desktop's dialog font and the screen's resolution for one test.
class DesktopLook {
 public:
  DesktopLook(const char* font, double dpi) : screen_(gdk_screen_get_default()) {
    settings_ = gtk_settings_get_for_screen(screen_);
    g_object_get(settings_, "gtk-font-name", &font_, nullptr);
    dpi_ = gdk_screen_get_resolution(screen_);
    if (font) g_object_set(settings_, "gtk-font-name", font, nullptr);
    gdk_screen_set_resolution(screen_, dpi);
  }
  ~DesktopLook() {
    g_object_set(settings_, "gtk-font-name", font_, nullptr);
    g_free(font_);
    gdk_screen_set_resolution(screen_, dpi_);
  }

 private:
  GdkScreen* screen_;
  GtkSettings* settings_;
  gchar* font_ = nullptr;
  double dpi_;
};

// The whole program in configuration mode, with the GTK dialogs.
struct Program {
  headless::Platform platform;
  IniFileStore store;
  testing::ScriptedRandom rng;
  EventLoop loop;
  FormFactoryX11 windows;
  AppForms forms{windows};
  App app;

  Program(Display& display, const std::string& ini, const std::string& folder)
      : store(ini),
        loop(display),
        windows(display, loop, platform.process, platform.resources, SceneWindowOptions{}),
        app(PlatformServices{platform.system, store, platform.regional, platform.clock,
                             platform.exe, platform.files, platform.process, platform.resources},
            rng, forms) {
    platform.exe.folder = folder;
  }
};

class GtkDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    display_ = testing::OpenTestDisplay();
    int event = 0, error = 0, major = 0, minor = 0;
    if (!display_) {
      missing_ = testing::DisplayMissing();
    } else if (!StartGtk(*display_)) {
      missing_ = "GTK could not start on the X display";
    } else if (!XTestQueryExtension(display_->xdisplay(), &event, &error, &major, &minor)) {
      missing_ = "needs the XTEST extension, which the X display lacks";
    }
    if (!missing_.empty()) display_.reset();
    g_input = display_ ? display_->xdisplay() : nullptr;
  }
  static void TearDownTestSuite() { display_.reset(); }

  void SetUp() override {
    if (!display_) FAIL() << missing_;
    folder_ = testing::MakeTempFolder("gtk-dialog");
    ini_ = folder_ + "/settings.ini";
  }
  void TearDown() override {
    program_.reset();
    if (display_) Pump(0);
    if (!folder_.empty()) testing::RemoveFolder(folder_);
  }

  std::string Stored(const std::string& key) {
    return IniFileStore(ini_).Read("Sarvel", "Settings", key, "-");
  }

  // Configuration mode with these settings stored; returns once the dialog
  // is on the screen (a chooser during its load is answered through When).
  void Open(const Settings& stored) {
    program_.reset();
    ::unlink(ini_.c_str());
    IniFileStore file(ini_);
    for (const auto& [key, value] : stored) file.Write("Sarvel", "Settings", key, value);
    program_ = std::make_unique<Program>(*display_, ini_, folder_);
    program_->app.Main(RunRequest{RunRequest::Mode::kSettings});
    config_ = static_cast<ConfigForm*>(program_->app.Find(FormId::kConfig));
    ASSERT_NE(config_, nullptr);
    EXPECT_TRUE(WaitFor([&] { return view().window() && gtk_widget_get_mapped(Window()); }));
    Pump();
  }
  GtkConfigView& view() { return static_cast<GtkConfigView&>(config_->view()); }
  GtkWidget* W(C c) { return view().widget(c); }
  GtkWidget* Window() { return GTK_WIDGET(view().window()); }
  const ConfigControlState& Model(C c) { return config_->control(c); }
  bool ConfigLoaded() {
    Form* f = program_->app.Find(FormId::kConfig);
    return f && program_->app.forms.IsLoaded(*f);
  }
  GtkInfoView* About() {
    Form* f = program_->app.Find(FormId::kInfo);
    if (!f || !program_->app.forms.IsLoaded(*f)) return nullptr;
    return &static_cast<GtkInfoView&>(static_cast<InfoForm*>(f)->view());
  }

  // Every widget shows the state the model holds for its control; the
  // minutes are the one text whose colour the model sets.
  void ExpectWidgetsMirrorTheModel() {
    EXPECT_EQ(TextColour(W(C::kMinutesLabel)), Model(C::kMinutesLabel).fore_color);
    for (const ConfigControlDesign& d : kConfigControls) {
      GtkWidget* w = W(d.id);
      EXPECT_EQ(Sensitive(w), Model(d.id).enabled) << d.name;
      std::string shown;
      if (GTK_IS_TOGGLE_BUTTON(w)) shown = Active(w) ? "ticked" : "clear";
      if (GTK_IS_RANGE(w)) shown = std::to_string(int(gtk_range_get_value(GTK_RANGE(w))));
      if (GTK_IS_LABEL(w)) shown = LabelText(w);
      if (GTK_IS_ENTRY(w)) shown = gtk_entry_get_text(GTK_ENTRY(w));
      const ConfigControlState& held = Model(d.id);
      const std::string expected = GTK_IS_TOGGLE_BUTTON(w) ? (held.checked ? "ticked" : "clear")
                                   : GTK_IS_RANGE(w)       ? std::to_string(held.position)
                                   : GTK_IS_LABEL(w) || GTK_IS_ENTRY(w) ? held.text
                                                                        : "";
      EXPECT_EQ(shown, expected) << d.name;
    }
  }

  static std::unique_ptr<Display> display_;
  static std::string missing_;  // why there is no display_
  std::string folder_, ini_;
  std::unique_ptr<Program> program_;
  ConfigForm* config_ = nullptr;
};

std::unique_ptr<Display> GtkDialogTest::display_;
std::string GtkDialogTest::missing_;

TEST_F(GtkDialogTest, OpensCentredAsADialogWithEveryControlAtItsTwipPlace) {
  Open({{"Background", "2"}});
  GtkWindow* window = view().window();
  EXPECT_EQ(gtk_window_get_title(window), kConfigCaption);
  EXPECT_FALSE(gtk_window_get_resizable(window));
  EXPECT_TRUE(gtk_window_get_deletable(window));
  EXPECT_TRUE(gtk_window_get_skip_taskbar_hint(window));
  EXPECT_EQ(gtk_window_get_type_hint(window), GDK_WINDOW_TYPE_HINT_DIALOG);
  EXPECT_NE(gtk_window_get_icon(window), nullptr);

  const double dpi = view().dpi();
  ExpectCentredAtItsSize(Window(), kConfigClientWidth, kConfigClientHeight, dpi);
  // The theme pushes no control out of its place or beyond its size.
  for (const ConfigControlDesign& d : kConfigControls) {
    GtkAllocation a;
    gtk_widget_get_allocation(W(d.id), &a);
    EXPECT_EQ(RectText(a), RectText(PlaceOf(WindowPlace(d.id), dpi))) << d.name;
  }
  // The picture buttons: a 32 x 32 picture (at 96 dpi) above the caption.
  for (C c : {C::kHomepageButton, C::kInfoButton, C::kOkButton}) {
    GList* parts = gtk_container_get_children(GTK_CONTAINER(gtk_bin_get_child(GTK_BIN(W(c)))));
    ASSERT_EQ(g_list_length(parts), 2u) << DesignOf(c).name;
    EXPECT_EQ(gdk_pixbuf_get_width(gtk_image_get_pixbuf(GTK_IMAGE(parts->data))),
              gtk::Px(480, dpi));
    EXPECT_EQ(LabelText(GTK_WIDGET(parts->next->data)),
              gtk::Mnemonic(DesignOf(c).caption).substr(1));
    g_list_free(parts);
  }
}

// The states themselves are the model's (config_dialog_test); here each
// widget takes the one its control starts in.
TEST_F(GtkDialogTest, WidgetsStartInTheStatesTheModelGivesThem) {
  Open({{"Background", "1"}, {"Restart", "0"}, {"maxL", "5"}, {"SpeedL", "2.5"}, {"rTime", "630"}});
  EXPECT_EQ(Stored("Background"), "1");  // written by the load
  ExpectWidgetsMirrorTheModel();
}

TEST_F(GtkDialogTest, ArrowsTrackAndKeysMoveTheSlidersAndTheSpinner) {
  Open({{"Background", "1"}, {"maxL", "6"}, {"Restart", "1"}, {"rTime", "600"}});
  Click(W(C::kLeafCountSlider), 0.98);  // the right arrow
  EXPECT_EQ(Model(C::kLeafCountSlider).position, 55);
  Click(W(C::kLeafCountSlider), 0.02);
  Click(W(C::kLeafCountSlider), 0.02);
  Click(W(C::kLeafCountSlider), 0.12);  // the track left of the thumb
  EXPECT_EQ(Model(C::kLeafCountSlider).position, 25);
  Key(Window(), GDK_KEY_Right);  // the click gave it the focus
  EXPECT_EQ(Model(C::kLeafCountSlider).position, 30);

  // The spinner's up arrow adds a minute; its top end is 99, its bottom 1.
  Click(W(C::kMinutesSpinner), 0.5, 0.2);
  EXPECT_EQ(LabelText(W(C::kMinutesLabel)), "11");
  Click(W(C::kMinutesSpinner), 0.5, 0.8);
  Click(W(C::kMinutesSpinner), 0.5, 0.8);
  EXPECT_EQ(LabelText(W(C::kMinutesLabel)), "9");
  Key(Window(), GDK_KEY_Home);
  Click(W(C::kMinutesSpinner), 0.5, 0.2);
  EXPECT_EQ(LabelText(W(C::kMinutesLabel)), "99");
  Key(Window(), GDK_KEY_End);
  EXPECT_EQ(LabelText(W(C::kMinutesLabel)), "1");

  // Restart cleared: a grey, still spinner; ticked again, black.
  Click(W(C::kRestartBox));
  EXPECT_FALSE(Sensitive(W(C::kMinutesSpinner)));
  EXPECT_EQ(TextColour(W(C::kMinutesLabel)), kMinutesGrey);
  Click(W(C::kMinutesSpinner), 0.5, 0.2);
  Click(W(C::kShowDateBox));
  EXPECT_EQ(LabelText(W(C::kMinutesLabel)), "1");
  EXPECT_EQ(TextColour(W(C::kMinutesLabel)), kMinutesGrey);
  Click(W(C::kRestartBox));
  EXPECT_EQ(TextColour(W(C::kMinutesLabel)), kMinutesBlack);
  ExpectWidgetsMirrorTheModel();
  Click(W(C::kOkButton));
  EXPECT_FALSE(ConfigLoaded());
  EXPECT_EQ(Stored("maxL"), "4");  // position 30
  EXPECT_EQ(Stored("rTime"), "60");
  EXPECT_EQ(Stored("Date"), "0");
}

TEST_F(GtkDialogTest, TheCloseBoxWritesNothingButTheBackgroundKind) {
  const Settings stored{{"Background", "3"}, {"maxL", "4"},    {"SpeedL", "2"}, {"Date", "1"},
                        {"Time", "0"},       {"Restart", "1"}, {"rTime", "300"}};
  Open(stored);
  Click(W(C::kLeafCountSlider), 0.98);
  Click(W(C::kShowDateBox));
  Click(W(C::kMinutesSpinner), 0.5, 0.2);
  Click(W(C::kBlueOption));
  EXPECT_EQ(Model(C::kMinutesLabel).text, "6");
  EXPECT_EQ(Stored("Background"), "2");  // the option writes at once
  gtk_window_close(view().window());
  EXPECT_TRUE(WaitFor([&] { return !ConfigLoaded(); }));
  for (const auto& [key, value] : stored)
    EXPECT_EQ(Stored(key), key == "Background" ? "2" : value) << key;
}

TEST_F(GtkDialogTest, DisabledOptionsTakeNoClick) {
  Open({{"Background", "4"}});
  Click(W(C::kRandomBox));
  EXPECT_EQ(Stored("Background"), "6");
  for (C option : kBackgroundOptions) EXPECT_FALSE(Sensitive(W(option)));
  // A click that GTK lets through anyway changes nothing.
  gtk_button_clicked(GTK_BUTTON(W(C::kBlueOption)));
  Pump();
  EXPECT_TRUE(Active(W(C::kDesktopOption)));
  EXPECT_EQ(Stored("Background"), "6");
  Click(W(C::kRandomBox));
  Click(W(C::kBlueOption));
  EXPECT_EQ(Stored("Background"), "2");
  ExpectWidgetsMirrorTheModel();
}

TEST_F(GtkDialogTest, AccessKeysDefaultThenOkAndEscape) {
  Open({{"Background", "2"}, {"maxL", "9"}, {"Date", "0"}, {"Restart", "0"}, {"rTime", "1800"}});
  Key(Window(), GDK_KEY_d, true);
  // A button pressed from the keyboard shows itself pressed for a moment
  // before it acts.
  EXPECT_TRUE(WaitFor([&] { return Stored("Background") == "6"; }));  // at once
  Key(Window(), GDK_KEY_o, true);
  EXPECT_TRUE(WaitFor([&] { return !ConfigLoaded(); }));
  const Settings reset{{"maxL", "6"},    {"SpeedL", "5"},  {"Date", "1"},      {"Time", "1"},
                       {"Restart", "1"}, {"rTime", "600"}, {"Background", "6"}};
  for (const auto& [key, value] : reset) EXPECT_EQ(Stored(key), value) << key;

  Open({{"Background", "2"}, {"maxL", "9"}});
  Key(Window(), GDK_KEY_d, true);
  EXPECT_TRUE(WaitFor([&] { return Model(C::kLeafCountSlider).position == 50; }));
  Key(Window(), GDK_KEY_Escape);
  EXPECT_TRUE(WaitFor([&] { return !ConfigLoaded(); }));
  EXPECT_EQ(Stored("maxL"), "9");
}

TEST_F(GtkDialogTest, TabWalksTheControlsInTheTableOrder) {
  const std::string picture = folder_ + "/leaves.bmp";
  Touch(picture);
  Open({{"Background", "5"}, {"PicFile", picture}, {"Restart", "1"}});
  // The focus starts on the first slider; of the options only the selected
  // one is a stop; past the last stop the walk starts again.
  EXPECT_EQ(gtk_window_get_focus(view().window()), W(C::kLeafCountSlider));
  std::vector<std::string> walked;
  for (int i = 0; i < 15; ++i) {
    Key(Window(), GDK_KEY_Tab);
    std::string name = "?";
    for (const ConfigControlDesign& d : kConfigControls)
      if (W(d.id) == gtk_window_get_focus(view().window())) name = d.name;
    walked.push_back(name);
  }
  EXPECT_EQ(walked, (std::vector<std::string>{"HScroll(1)", "chkOpt(0)", "chkOpt(1)", "cmdHomepage",
                                              "cmdInfo", "cmdReset", "cmdOK", "chkOpt(2)",
                                              "vscTime", "chkRandom", "optBack(4)", "txtFile",
                                              "cmdFile", "HScroll(0)", "HScroll(1)"}));
}

TEST_F(GtkDialogTest, ThePictureChooserFiltersAndAnswersAsTheModelExpects) {
  const std::string picture = folder_ + "/Autumn.JPG", gone = folder_ + "/gone.gif";
  Touch(picture);
  Touch(gone);
  bool hidden_at_first = false, message_seen = false;
  // A name that is gone by the time it is chosen: the message, then the
  // chooser again, where the existing picture is chosen.
  When([] { return Shown(GTK_TYPE_FILE_CHOOSER_DIALOG); },
       [&] {
         GtkWidget* d = Shown(GTK_TYPE_FILE_CHOOSER_DIALOG);
         hidden_at_first =
             !gtk_widget_get_visible(GTK_WIDGET(gtk_window_get_transient_for(GTK_WINDOW(d))));
         GtkFileFilter* filter = gtk_file_chooser_get_filter(GTK_FILE_CHOOSER(d));
         EXPECT_STREQ(gtk_file_filter_get_name(filter), "All Picture Files");
         std::string passed;
         for (const char* name : {"a.bmp", "B.JPG", "c.Gif", "d.png", "e.jpeg"}) {
           GtkFileFilterInfo info{GTK_FILE_FILTER_DISPLAY_NAME, nullptr, nullptr, name, nullptr};
           if (gtk_file_filter_filter(filter, &info)) passed += name[0];
         }
         EXPECT_EQ(passed, "aBc");
         ChooseFile(d, gone);
         ::unlink(gone.c_str());
         gtk_dialog_response(GTK_DIALOG(d), GTK_RESPONSE_ACCEPT);
         When([] { return Shown(GTK_TYPE_MESSAGE_DIALOG); },
              [&] {
                GtkWidget* m = Shown(GTK_TYPE_MESSAGE_DIALOG);
                message_seen = true;
                EXPECT_EQ(gtk_window_get_title(GTK_WINDOW(m)), kNoValidFileTitle);
                gchar* text = nullptr;
                GtkMessageType type = GTK_MESSAGE_INFO;
                g_object_get(m, "text", &text, "message-type", &type, nullptr);
                EXPECT_STREQ(text,
                             "You have to select a valid picture file to display as background\n"
                             "Sie müssen eine gültige Bilddatei für den Hintergrund auswählen!");
                g_free(text);
                EXPECT_EQ(type, GTK_MESSAGE_OTHER);  // no icon
                GtkWidget* ok = gtk_dialog_get_widget_for_response(GTK_DIALOG(m), GTK_RESPONSE_OK);
                ASSERT_NE(ok, nullptr);
                EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(ok)), "_OK");
                gtk_dialog_response(GTK_DIALOG(m), GTK_RESPONSE_OK);
                When([] { return Shown(GTK_TYPE_FILE_CHOOSER_DIALOG); },
                     [&] {
                       GtkWidget* again = Shown(GTK_TYPE_FILE_CHOOSER_DIALOG);
                       ChooseFile(again, picture);
                       gtk_dialog_response(GTK_DIALOG(again), GTK_RESPONSE_ACCEPT);
                     });
              });
       });
  Open({{"Background", "5"}, {"PicFile", folder_ + "/missing.bmp"}});
  EXPECT_TRUE(hidden_at_first);  // the chooser came before the dialog
  EXPECT_TRUE(message_seen);
  EXPECT_EQ(gtk_entry_get_text(GTK_ENTRY(W(C::kPicturePathBox))), picture);
  EXPECT_TRUE(Sensitive(W(C::kChoosePictureButton)));
  Click(W(C::kOkButton));
  EXPECT_EQ(Stored("PicFile"), picture);
}

TEST_F(GtkDialogTest, TheAboutBoxShowsTitleAndVersionModallyOverTheDialog) {
  Open({{"Background", "1"}});
  bool seen = false;
  When([&] { return About() && gtk_widget_get_mapped(GTK_WIDGET(About()->window())); },
       [&] {
         seen = true;
         GtkInfoView& v = *About();
         GtkWindow* box = v.window();
         EXPECT_EQ(LabelText(v.widget(InfoControl::kTitle)), "Sarvel");
         EXPECT_EQ(LabelText(v.widget(InfoControl::kVersion)), "2.00.0457");
         EXPECT_EQ(LabelText(v.widget(InfoControl::kFreeware)), "Freeware");
         EXPECT_EQ(LabelText(v.widget(InfoControl::kHomepage)), kMakerAddress);
         EXPECT_EQ(TextColour(v.widget(InfoControl::kFreeware)), gfx::Rgb(128, 0, 0));
         EXPECT_EQ(TextColour(v.widget(InfoControl::kHomepage)), gfx::Rgb(0, 0, 192));
         EXPECT_FALSE(gtk_window_get_decorated(box));
         EXPECT_TRUE(gtk_window_get_modal(box));
         EXPECT_EQ(gtk_window_get_transient_for(box), view().window());
         EXPECT_EQ(gtk_window_get_focus(box), v.widget(InfoControl::kOk));
         ExpectCentredAtItsSize(GTK_WIDGET(box), kInfoClientWidth, kInfoClientHeight, v.dpi());
         // The settings dialog takes no clicks meanwhile; OK closes the box.
         Click(W(C::kDefaultsButton));
         Click(v.widget(InfoControl::kOk));
       });
  Click(W(C::kInfoButton));
  EXPECT_TRUE(seen);
  EXPECT_EQ(About(), nullptr);
  EXPECT_TRUE(ConfigLoaded());
  EXPECT_EQ(Stored("Background"), "1");  // Default did not run
  // Each press opens a fresh box; Enter closes it too.
  bool seen_again = false;
  When([&] { return About() && gtk_widget_get_mapped(GTK_WIDGET(About()->window())); },
       [&] {
         seen_again = true;
         Key(GTK_WIDGET(About()->window()), GDK_KEY_Return);
       });
  Key(Window(), GDK_KEY_i, true);
  EXPECT_TRUE(WaitFor([&] { return seen_again; }));
  EXPECT_EQ(About(), nullptr);
  EXPECT_TRUE(ConfigLoaded());
}

// The places at other resolutions: EveryCaptionShowsWholeInItsFont.
TEST_F(GtkDialogTest, TheSliderArrowsGrowWithTheScreenResolution) {
  const DesktopLook look(nullptr, 144.0);
  Open({{"Background", "1"}});
  EXPECT_EQ(view().dpi(), 144.0);
  Click(W(C::kLeafCountSlider), 0.03);
  EXPECT_EQ(Model(C::kLeafCountSlider).position, 95);
  program_.reset();
}

// Every text of the dialog and the about box shows whole in the font it is
// drawn in, with the desktop's own font and with wider and narrower ones,
// at the common resolutions.
TEST_F(GtkDialogTest, EveryCaptionShowsWholeInItsFont) {
  for (const char* font : {static_cast<const char*>(nullptr), "DejaVu Sans Condensed 9",
                           "DejaVu Serif 9", "Comic Neue 9"}) {
    for (double dpi : {96.0, 120.0, 144.0, 192.0}) {
      SCOPED_TRACE(std::string(font ? font : "the desktop's font") + " at " +
                   std::to_string(int(dpi)) + " dpi");
      const DesktopLook look(font, dpi);
      Touch(folder_ + "/Herbst Blätter.bmp");
      Open({{"Background", "5"}, {"PicFile", folder_ + "/Herbst Blätter.bmp"}, {"rTime", "5940"}});
      for (const ConfigControlDesign& d : kConfigControls) {
        if (d.kind == ControlKind::kTextBox) continue;  // the path scrolls
        EXPECT_EQ(CaptionMisfit(std::string(d.name), W(d.id), PlaceOf(WindowPlace(d.id), dpi)), "");
      }
      EXPECT_EQ(CaptionOverlaps([&](C c) { return W(c); }), "");
      bool seen = false;
      When([&] { return About() && gtk_widget_get_mapped(GTK_WIDGET(About()->window())); },
           [&] {
             seen = true;
             GtkInfoView& v = *About();
             for (const InfoControlDesign& d : kInfoControls) {
               if (d.kind == InfoKind::kPicture) continue;
               EXPECT_EQ(CaptionMisfit(std::string(d.name), v.widget(d.id),
                                       PlaceOf({d.left, d.top, d.width, d.height}, dpi)),
                         "");
             }
             Click(v.widget(InfoControl::kOk));
           });
      Click(W(C::kInfoButton));
      EXPECT_TRUE(seen);
      program_.reset();
    }
  }
}

}  // namespace
}  // namespace sarvel::x11
