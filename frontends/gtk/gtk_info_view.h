// GTK: the about box on Linux. An undecorated dark-blue window,
// modal over the settings dialog, with the disk picture and the emblem drawn
// beneath the labels of kInfoControls at their twip places, the web address
// as a clickable label and "&OK" as its only button.
#pragma once

#include <gtk/gtk.h>

#include <array>

#include "app/dialogs/info_controls.h"
#include "core/ports/info_view.h"
#include "core/ports/process.h"
#include "core/ports/resource_library.h"
#include "frontends/gtk/gtk_support.h"

namespace sarvel::gtk {

class GtkInfoView : public InfoView {
 public:
  GtkInfoView(ResourceLibrary& resources, Process& process);
  ~GtkInfoView() override;
  GtkInfoView(const GtkInfoView&) = delete;
  GtkInfoView& operator=(const GtkInfoView&) = delete;

  // FormView
  void Create() override;
  WindowHandle handle() const override;
  void Show(ShowMode mode) override;
  void Destroy() override;

  // InfoView
  void Bind(InfoInput& input) override;
  TwipSize ScreenSize() override;
  TwipSize WindowSize() override;
  void Move(int32_t left, int32_t top) override;
  void SetText(InfoControl label, const std::string& text) override;
  void OpenInBrowser(const std::string& address) override;

  // The window and the widget of each label and of the button (the
  // pictures are drawn, not widgets); null once destroyed.
  GtkWindow* window() const { return window_ ? GTK_WINDOW(window_) : nullptr; }
  GtkWidget* widget(InfoControl c) const { return widgets_[Index(c)]; }
  double dpi() const { return dpi_; }

 private:
  struct Signals;
  void AddStyles();
  void RenderBackground();
  GdkRectangle PrimaryMonitor() const;
  template <class Fn>
  void AsUser(Fn&& fn);

  ResourceLibrary& resources_;
  Process& process_;
  InfoInput* input_ = nullptr;
  double dpi_ = 96.0;
  GtkWidget* window_ = nullptr;
  std::array<GtkWidget*, kInfoControlCount> widgets_{};
  gtk::CairoSurfacePtr background_;
  bool destroyed_ = false;
};

}  // namespace sarvel::gtk
