// The per-user settings store: text values addressed by application,
// section and key.
#pragma once

#include <string>

namespace sarvel {

// Both operations raise a RuntimeFailure when the store cannot be used.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string Read(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& default_text) = 0;
  virtual void Write(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& text) = 0;
};

}  // namespace sarvel
