// frmPreview: the still picture of the scene inside the display settings'
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
  virtual int ClientWidth() = 0;
  virtual int ClientHeight() = 0;
  // The window's persistent image, the size of the client area.
  virtual gfx::Surface& WindowImage() = 0;
  virtual void Refresh() = 0;
};

class FrmPreview : public ViewForm<PreviewView>, public PreviewEvents {
 public:
  FrmPreview(App& app, std::unique_ptr<PreviewView> view);
  void OnResize() override { PaintPicture(); }
  void PaintPicture();

 protected:
  bool OnUnload() override;

 private:
  App& app_;
};

}  // namespace sarvel
