// A settings store over another one that answers some keys from the
// command line instead, for one run. Writes go through to the store below;
// a key once written reads back what was written.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/ports/settings_store.h"

namespace sarvel {

class OverrideStore : public SettingsStore {
 public:
  OverrideStore(SettingsStore& base, std::vector<std::pair<std::string, std::string>> overrides)
      : base_(base), overrides_(std::move(overrides)) {}

  std::string Read(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& default_text) override;
  void Write(const std::string& app, const std::string& section, const std::string& key,
             const std::string& text) override;

 private:
  SettingsStore& base_;
  std::vector<std::pair<std::string, std::string>> overrides_;  // key (any case) and text
};

}  // namespace sarvel
