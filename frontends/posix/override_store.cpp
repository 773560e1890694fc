// The layered settings store.
#include "frontends/posix/override_store.h"

#include <strings.h>

#include <algorithm>

namespace sarvel {
namespace {

bool SameKey(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

std::string OverrideStore::Read(const std::string& app, const std::string& section,
                                const std::string& key, const std::string& default_text) {
  for (const auto& [k, text] : overrides_) {
    if (SameKey(k, key)) return text;
  }
  return base_.Read(app, section, key, default_text);
}

void OverrideStore::Write(const std::string& app, const std::string& section,
                          const std::string& key, const std::string& text) {
  base_.Write(app, section, key, text);
  std::erase_if(overrides_, [&](const auto& o) { return SameKey(o.first, key); });
}

}  // namespace sarvel
