// Win32: the form factory of Sarvel.scr, building each form model over its
// native window.
#pragma once

#include <memory>

#include "app/app.h"

namespace sarvel::win32 {

class FormFactoryWin32 : public FormFactory {
 public:
  void Attach(App& app) { app_ = &app; }
  std::unique_ptr<Form> Create(FormId id, App& app) override;

 private:
  App* app_ = nullptr;
};

}  // namespace sarvel::win32
