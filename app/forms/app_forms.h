// The program's forms over the front end's windows: the scene form, the
// preview, the settings dialog and the about box, each built around the view
// the front end's FormFactory makes for it.
#pragma once

#include <memory>

#include "app/app.h"
#include "core/ports/form_factory.h"

namespace sarvel {

class AppForms final : public FormBuilder {
 public:
  explicit AppForms(FormFactory& windows) : windows_(windows) {}
  std::unique_ptr<Form> Build(FormId id, App& app) override;

 private:
  FormFactory& windows_;
};

}  // namespace sarvel
