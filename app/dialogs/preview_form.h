// preview_form: the still picture of the scene inside the display settings'
// preview area. It paints the preview picture stretched to its client area
// whenever its size changes, and takes no input.
#pragma once

#include <memory>

#include "core/gfx/surface.h"
#include "core/ports/form_view.h"

namespace sarvel {

class App;

class PreviewEvents {
 public:
  virtual ~PreviewEvents() = default;
  virtual void OnResize() = 0;
};

class PreviewView : public FormView {
 public:
  virtual void SetEvents(PreviewEvents* events) = 0;
  // The client area: the size of the window's image.
  int ClientWidth() { return WindowImage().width(); }
  int ClientHeight() { return WindowImage().height(); }
  // The window's persistent image, the size of the client area.
  virtual gfx::Surface& WindowImage() = 0;
  virtual void Refresh() = 0;
};

// Declares every call of PreviewView and FormView in a window that
// implements them all.
#define SARVEL_PREVIEW_VIEW_OVERRIDES             \
  SARVEL_FORM_VIEW_OVERRIDES;                     \
  void SetEvents(PreviewEvents* events) override; \
  gfx::Surface& WindowImage() override;           \
  void Refresh() override

class PreviewForm : public ViewForm<PreviewView>, public PreviewEvents {
 public:
  PreviewForm(App& app, std::unique_ptr<PreviewView> view);
  void OnResize() override { PaintPicture(); }
  void PaintPicture();

 protected:
  bool OnUnload() override;

 private:
  App& app_;
};

}  // namespace sarvel
