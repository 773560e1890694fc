// The settings store of the Linux front end: an ini file with one section per
// store section ("[Settings]") and one "key=value" line per key. Every write
// replaces the file atomically (a temporary file renamed over it), so a crash
// or a full disk never leaves half a file; lines it does not know are kept.
// Writers of several processes take turns, through a lock on its folder.
#pragma once

#include <string>

#include "core/ports/settings_store.h"

namespace sarvel {

class IniFileStore : public SettingsStore {
 public:
  explicit IniFileStore(std::string path) : path_(std::move(path)) {}

  std::string Read(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& default_text) override;
  void Write(const std::string& app, const std::string& section, const std::string& key,
             const std::string& text) override;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// $XDG_CONFIG_HOME/sarvel/settings.ini, else ~/.config/sarvel/settings.ini.
std::string DefaultSettingsPath();

// Values are kept on one line: backslash, CR and LF are escaped.
std::string EscapeIniValue(const std::string& value);
std::string UnescapeIniValue(const std::string& text);

}  // namespace sarvel
