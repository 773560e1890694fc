// GTK: the settings dialog on Linux. Builds the controls of
// kConfigControls at their twip places for the screen's resolution in a
// fixed layout, shows what the model sets (with our signals blocked, so that
// an assignment never comes back to the model as input), hands the user's
// clicks, scrolls and keys to the model, and runs the picture chooser, the
// message box and the browser call.
#pragma once

#include <gtk/gtk.h>

#include <array>

#include "app/dialogs/config_controls.h"
#include "core/ports/config_view.h"
#include "core/ports/process.h"
#include "core/ports/resource_library.h"
#include "frontends/gtk/gtk_support.h"

namespace sarvel::gtk {

class GtkConfigView : public ConfigView {
 public:
  GtkConfigView(ResourceLibrary& resources, Process& process);
  ~GtkConfigView() override;
  GtkConfigView(const GtkConfigView&) = delete;
  GtkConfigView& operator=(const GtkConfigView&) = delete;

  // FormView
  void Create() override;
  WindowHandle handle() const override;
  void Show(ShowMode mode) override;
  void Destroy() override;

  // ConfigView
  void Bind(ConfigInput& input) override;
  void SetChecked(ConfigControl c, bool checked) override;
  void SetPosition(ConfigControl c, int16_t position) override;
  void SetEnabled(ConfigControl c, bool enabled) override;
  void SetText(ConfigControl c, const std::string& text) override;
  void SetForeColor(ConfigControl c, gfx::Argb color) override;
  FileDialogResult ShowOpenDialog(const FileDialogRequest& request) override;
  void ShowMessage(const std::string& title, const std::string& text) override;
  void OpenInBrowser(const std::string& address) override;

  // The window and the widget of each control; null once destroyed.
  GtkWindow* window() const { return window_ ? GTK_WINDOW(window_) : nullptr; }
  GtkWidget* widget(ConfigControl c) const { return widgets_[Index(c)]; }
  double dpi() const { return dpi_; }

 private:
  struct Signals;
  // One arrow of a scroll bar: -1 the left or up arrow, +1 the right or
  // down one. The spinner's up arrow adds a minute.
  void Step(ConfigControl c, int delta);
  void ArrowPress(ConfigControl c, int delta);
  void ArrowRelease();
  void DrawSpinner(cairo_t* cr);
  GtkWidget* MakeControl(const ConfigControlDesign& design);
  GtkWidget* MakePictureButton(const ConfigControlDesign& design);
  GtkWidget* MakeSpinner();
  void AddStyles();
  ConfigControl ControlOf(GtkWidget* widget) const;
  // After the user's action the widgets show what the model holds, whether
  // it took the action or not (a disabled control takes nothing).
  void ShowModelState(ConfigControl c);
  void Block(ConfigControl c, bool block);
  bool OnKey(const GdkEventKey& key);
  bool OnTab(GtkDirectionType direction);
  template <class Fn>
  void AsUser(Fn&& fn);

  ResourceLibrary& resources_;
  Process& process_;
  ConfigInput* input_ = nullptr;
  double dpi_ = 96.0;
  GtkWidget* window_ = nullptr;
  GtkWidget* fixed_ = nullptr;
  std::array<GtkWidget*, kConfigControlCount> widgets_{};
  // What the model last told the view, for ShowModelState.
  std::array<bool, kConfigControlCount> checked_{};
  std::array<int16_t, kConfigControlCount> positions_{};
  // The arrow held down, and the timer that repeats it.
  struct Held {
    ConfigControl control = ConfigControl::kCount;
    int delta = 0;
  } held_;
  guint repeat_source_ = 0;
  bool destroyed_ = false;
};

}  // namespace sarvel::gtk
