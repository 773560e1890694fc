// Forms: the program's single-instance windows, each a portable model with
// event handlers over a window that the platform provides, and the list of
// loaded forms in load order.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/form_view.h"

namespace sarvel {

class Form {
 public:
  explicit Form(std::string name) : name_(std::move(name)) {}
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  virtual WindowHandle handle() const = 0;

 protected:
  friend class FormList;
  // The platform's window, created hidden.
  virtual void CreateWindowHidden() = 0;
  // The load handler; runs right after the window exists.
  virtual void OnLoad() {}
  // The unload handler; returning false refuses, and the form stays loaded.
  virtual bool OnUnload() { return true; }
  // Makes the window visible; a modal show returns when the form is unloaded.
  virtual void ShowWindow(ShowMode mode) = 0;
  virtual void DestroyWindow() = 0;

 private:
  std::string name_;
};

// The loaded forms in load order. Loading an already loaded form does
// nothing; unloading one that is not loaded does nothing.
class FormList {
 public:
  void Load(Form& form);
  void Show(Form& form, ShowMode mode);
  // Runs the unload handler; true when the form is gone.
  bool Unload(Form& form);

  size_t count() const { return loaded_.size(); }
  Form& at(size_t i) const { return *loaded_.at(i); }
  bool IsLoaded(const Form& form) const;

  // Runs after a form has been unloaded and its window destroyed.
  void set_on_unloaded(std::function<void(Form&)> f) { on_unloaded_ = std::move(f); }
  // Runs when the last form has been unloaded: the platform ends its loop.
  void set_on_last_unloaded(std::function<void()> f) { on_last_unloaded_ = std::move(f); }

 private:
  std::vector<Form*> loaded_;
  std::vector<Form*> unloading_;
  std::function<void(Form&)> on_unloaded_;
  std::function<void()> on_last_unloaded_;
};

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
