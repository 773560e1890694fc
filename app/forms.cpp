#include "app/forms.h"

#include <algorithm>

namespace sarvel {

bool FormList::IsLoaded(const Form& form) const {
  return std::find(loaded_.begin(), loaded_.end(), &form) != loaded_.end();
}

void FormList::Load(Form& form) {
  if (IsLoaded(form)) return;
  form.CreateWindowHidden();
  loaded_.push_back(&form);
  form.OnLoad();
}

void FormList::Show(Form& form, ShowMode mode) {
  Load(form);
  if (IsLoaded(form)) form.ShowWindow(mode);
}

bool FormList::Unload(Form& form) {
  if (!IsLoaded(form)) return true;
  // An unload handler that unloads its own form again (directly or through
  // the end of the run) must not unload it twice.
  if (std::find(unloading_.begin(), unloading_.end(), &form) != unloading_.end()) return false;
  unloading_.push_back(&form);
  bool agreed = false;
  try {
    agreed = form.OnUnload();
  } catch (...) {
    unloading_.erase(std::find(unloading_.begin(), unloading_.end(), &form));
    throw;
  }
  unloading_.erase(std::find(unloading_.begin(), unloading_.end(), &form));
  if (!agreed || !IsLoaded(form)) return !IsLoaded(form);
  loaded_.erase(std::find(loaded_.begin(), loaded_.end(), &form));
  form.DestroyWindow();
  if (on_unloaded_) on_unloaded_(form);
  if (loaded_.empty() && on_last_unloaded_) on_last_unloaded_();
  return true;
}

}  // namespace sarvel
