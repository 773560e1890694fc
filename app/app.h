// The program as one object: the platform's services, the reporter, the
// start-up and general modules and the forms, wired together. Each front end
// builds one App around its own services and forms (app/forms/app_forms.h)
// and hands Main the request it read from its command line.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "app/forms.h"
#include "app/general.h"
#include "app/run_request.h"
#include "app/saver.h"
#include "core/base/random.h"
#include "core/ports/clock.h"
#include "core/ports/executable_info.h"
#include "core/ports/file_system.h"
#include "core/ports/process.h"
#include "core/ports/regional.h"
#include "core/ports/resource_library.h"
#include "core/ports/saver_system.h"
#include "core/ports/settings_store.h"
#include "core/report/error_reporter.h"

namespace sarvel {

enum class FormId { kScene = 0, kPreview, kConfig, kInfo };
inline constexpr size_t kFormCount = 4;

class App;

// Builds a form over its platform window; called on first use of a form and
// again after it was unloaded.
class FormBuilder {
 public:
  virtual ~FormBuilder() = default;
  virtual std::unique_ptr<Form> Build(FormId id, App& app) = 0;
};

struct PlatformServices {
  SaverSystem& system;
  SettingsStore& store;
  Regional& regional;
  Clock& clock;
  ExecutableInfo& exe;
  FileSystem& files;
  Process& process;
  ResourceLibrary& resources;
};

class App final : public SaverForms {
 public:
  App(PlatformServices services, RandomSource& rng, FormBuilder& builder);
  ~App() override;

  void Main(const RunRequest& request) { saver.Main(request); }

  Form& scene_form() override { return Get(FormId::kScene); }
  Form& preview_form() override { return Get(FormId::kPreview); }
  Form& config_form() override { return Get(FormId::kConfig); }
  Form& info_form() { return Get(FormId::kInfo); }
  Form& Get(FormId id);
  // The form if it exists now, without creating it.
  Form* Find(FormId id) const { return forms_by_id_[size_t(id)].get(); }

  // Frees the objects of unloaded forms; the event loop calls this between
  // events, when none of their handlers can be running.
  void CollectUnloadedForms();

  PlatformServices services;
  RandomSource& rng;
  ErrorReporter reporter;
  FormList forms;
  General general;
  Saver saver;

 private:
  FormBuilder& builder_;
  std::array<std::unique_ptr<Form>, kFormCount> forms_by_id_;
  std::vector<std::unique_ptr<Form>> unloaded_;
};

}  // namespace sarvel
