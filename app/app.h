// The program as one object: the platform's services, the reporter, the
// start-up and general modules and the forms, wired together. Each front end
// builds one App around its own services and form factory and calls Main.
#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "app/general.h"
#include "app/saver.h"
#include "core/base/random.h"
#include "core/ports/forms.h"
#include "core/ports/resource_library.h"
#include "core/ports/services.h"
#include "core/report/error_reporter.h"

namespace sarvel {

enum class FormId { kMain = 0, kPreview, kConfig, kInfo };
inline constexpr size_t kFormCount = 4;

class App;

// Builds a form with its platform window; called on first use of a form and
// again after it was unloaded.
class FormFactory {
 public:
  virtual ~FormFactory() = default;
  virtual std::unique_ptr<Form> Create(FormId id, App& app) = 0;
};

struct PlatformServices {
  SystemApi& system;
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
  App(PlatformServices services, RandomSource& rng, FormFactory& factory);
  ~App() override;

  void Main(std::string_view command_line) { saver.Main(command_line); }

  Form& scene_form() override { return Get(FormId::kMain); }
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
  FormFactory& factory_;
  std::array<std::unique_ptr<Form>, kFormCount> forms_by_id_;
  std::vector<std::unique_ptr<Form>> unloaded_;
};

}  // namespace sarvel
