#include "app/general.h"

#include <cmath>

#include "core/base/checked.h"
#include "core/report/procedure.h"

namespace sarvel {

int16_t RandomInt(RandomSource& rng, int32_t lower, int32_t upper) {
  const float r = rng.Next();
  const int16_t lo = CheckInt16(lower);
  const int16_t hi = CheckInt16(upper);
  const int16_t span = Add16(Sub16(hi, lo), 1);
  return CheckInt16(int64_t(lo) + int64_t(std::floor(double(span) * double(r))));
}

bool General::FileExists(const std::string& path) {
  Procedure p(reporter_, "Allgemein", "FileExists");
  bool result = false;
  if (path.empty() || path.back() == '\\' || path.back() == files_.PathSeparator()) return false;
  p.Step(50, [&] { result = files_.FindPlainFile(path); });
  return result;
}

void General::Shutdown() {
  Procedure p(reporter_, "Allgemein", "Shutdown");
  p.ContinueSilently();
  for (size_t n = forms_.count(); n > 0; --n) {
    p.Step(40, [&] {
      // An unload handler may have taken other forms with it.
      if (n - 1 < forms_.count()) forms_.Unload(forms_.at(n - 1));
    });
  }
  if (forms_.count() == 0) {
    p.Step(70, [&] { files_.CloseAllFiles(); });
  } else {
    p.Step(100, [&] { process_.EndProgram(); });
  }
}

}  // namespace sarvel
