// The preview form: the still picture of the scene inside the display settings'
// preview area. It paints the preview picture stretched to its client area
// whenever its size changes, and takes no input.
#pragma once

#include <memory>

#include "app/forms.h"
#include "core/ports/preview_view.h"

namespace sarvel {

class App;

class PreviewForm : public ViewForm<PreviewView>, public PreviewEvents {
 public:
  PreviewForm(App& app, std::unique_ptr<PreviewView> view);
  void OnResize() override { PaintPicture(); }
  void OnHostGone() override;
  void PaintPicture();

 protected:
  bool OnUnload() override;

 private:
  App& app_;
};

}  // namespace sarvel
