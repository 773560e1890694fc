// FormView: the platform's window behind a form. A form model owns its view
// and forwards the form-list operations to it; the view calls the model's
// event handlers back through an interface of the model's own.
#pragma once

#include <memory>

#include "core/ports/forms.h"
#include "core/ports/services.h"

namespace sarvel {

class FormView {
 public:
  virtual ~FormView() = default;
  virtual void Create() = 0;  // the window, hidden
  virtual WindowHandle handle() const = 0;
  // Modeless shows return at once; a modal show returns when the window is
  // destroyed, other windows of the program taking no input meanwhile.
  virtual void Show(ShowMode mode) = 0;
  virtual void Destroy() = 0;
};

// Declares the calls of FormView in a view that implements them; the macros
// of the scene, preview and dialog views begin with it.
#define SARVEL_FORM_VIEW_OVERRIDES      \
  void Create() override;               \
  WindowHandle handle() const override; \
  void Show(ShowMode mode) override;    \
  void Destroy() override

// A form whose window is a view of type View.
template <class View>
class ViewForm : public Form {
 public:
  ViewForm(std::string name, std::unique_ptr<View> view)
      : Form(std::move(name)), view_(std::move(view)) {}
  WindowHandle handle() const override { return view_->handle(); }
  View& view() { return *view_; }

 protected:
  void CreateWindowHidden() override { view_->Create(); }
  void ShowWindow(ShowMode mode) override { view_->Show(mode); }
  void DestroyWindow() override { view_->Destroy(); }

  std::unique_ptr<View> view_;
};

}  // namespace sarvel
