#include "app/app.h"

namespace sarvel {

App::App(PlatformServices s, RandomSource& random, FormBuilder& builder)
    : services(s),
      rng(random),
      reporter(ErrorReporter::Services{s.clock, s.system, s.exe, s.files, s.process}),
      general(reporter, s.files, s.process, forms),
      saver(Saver::Services{s.system, s.store, s.regional, s.clock, s.process}, reporter, random,
            forms, general, *this),
      builder_(builder) {
  reporter.set_exit_procedure([this] { saver.EndRun(); });
  // Forms are destroyed on unload: the next use builds a fresh one. The old
  // object lives on until no handler of it can be running.
  forms.set_on_unloaded([this](Form& form) {
    for (auto& slot : forms_by_id_) {
      if (slot.get() == &form) unloaded_.push_back(std::move(slot));
    }
  });
}

App::~App() = default;

Form& App::Get(FormId id) {
  auto& slot = forms_by_id_[size_t(id)];
  if (!slot) slot = builder_.Build(id, *this);
  return *slot;
}

void App::CollectUnloadedForms() { unloaded_.clear(); }

}  // namespace sarvel
