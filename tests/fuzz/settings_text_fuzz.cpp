// Stored settings texts through LoadConfig: any text under any of the
// stored keys, either decimal separator. The record always ends up filled (every
// field either read or its default, whatever it held before), each field
// costs at most one protocol, loading writes nothing, and what SaveConfig
// writes of the record reads back to the same record.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/options.h"
#include "app/saver.h"
#include "core/base/number_text.h"
#include "tests/fuzz/fuzz_support.h"

namespace sarvel {
namespace {

const std::string kBackgroundKey(OptionOf(&SaverSettings::background_kind).key);

bool Same(const SaverSettings& a, const SaverSettings& b) {
  // Speeds compare by their bits: -0 and 0 are different texts.
  return a.max_leaf == b.max_leaf && a.min_leaf == b.min_leaf &&
         std::memcmp(&a.leaf_speed, &b.leaf_speed, sizeof(float)) == 0 &&
         a.show_date == b.show_date && a.show_time == b.show_time &&
         a.auto_restart == b.auto_restart && a.restart_seconds == b.restart_seconds &&
         a.background_kind == b.background_kind && a.random_background == b.random_background &&
         a.picture_file == b.picture_file;
}

SaverSettings Junk(int16_t v) {
  SaverSettings s;
  s.max_leaf = s.min_leaf = s.show_date = s.show_time = s.auto_restart = s.background_kind = v;
  s.leaf_speed = float(v) * 1.5f;
  s.restart_seconds = int32_t(v) * 70001;
  s.picture_file = "junk" + std::to_string(v);
  return s;
}

// Loads into a record that held `before`; returns the log it wrote.
std::string Load(testing::TestApp& t, const SaverSettings& before) {
  t.app->saver.settings = before;
  t.app->saver.LoadConfig();
  return fuzzing::TakeLog();
}

}  // namespace
}  // namespace sarvel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sarvel;
  FuzzedDataProvider in(data, size);
  testing::TestApp t(fuzzing::LogFolder());
  const std::string sep = in.ConsumeBool() ? "," : ".";
  t.platform.regional.decimal_separator = sep;
  for (const SettingOption& o : kSettingOptions) {
    if (in.ConsumeBool())
      t.platform.store.values[std::string(o.key)] = in.ConsumeRandomLengthString(64);
  }
  const auto stored = t.platform.store.values;

  // Twice, from different leftovers: every field is set by loading.
  const std::string log = Load(t, Junk(-7));
  const SaverSettings loaded = t.app->saver.settings;
  Load(t, Junk(12345));
  FUZZ_CHECK(Same(loaded, t.app->saver.settings));
  FUZZ_CHECK(t.platform.store.writes.empty() && t.platform.store.values == stored);

  // At most one protocol per numeric field, each naming its own line; the
  // derived fields and a path never fail.
  int numeric = 0;
  for (const SettingOption& o : kSettingOptions) {
    const int reports =
        testing::CountOccurrences(log, "Zeile / Line:\t" + std::to_string(o.load_line) + "\r\n");
    FUZZ_CHECK(reports <= (o.field.type() == StoredType::kText ? 0 : 1));
    numeric += o.field.type() == StoredType::kText ? 0 : 1;
  }
  FUZZ_CHECK(fuzzing::Protocols(log) <= numeric);
  for (int line : {kMinLeafLine, kRandomBackgroundLine})
    FUZZ_CHECK(testing::CountOccurrences(log, "Zeile / Line:\t" + std::to_string(line) + "\r\n") ==
               0);

  // Saved and read again under the same separator, the record is the same
  // (the speed after its rounding to 7 digits, which is stable from then on).
  t.platform.store.values.clear();
  t.app->saver.SaveConfig();
  FUZZ_CHECK(fuzzing::Protocols(fuzzing::TakeLog()) == 0);
  // The background kind is the dialog's to write, at once.
  t.platform.store.values[kBackgroundKey] = IntegerText(loaded.background_kind);
  const auto saved = t.platform.store.values;
  FUZZ_CHECK(fuzzing::Protocols(Load(t, Junk(3))) == 0);
  SaverSettings again = t.app->saver.settings;
  SaverSettings expected = loaded;
  FUZZ_CHECK(std::fabs(double(again.leaf_speed) - double(loaded.leaf_speed)) <=
             std::fabs(double(loaded.leaf_speed)) * 1e-6);
  expected.leaf_speed = again.leaf_speed;
  FUZZ_CHECK(Same(expected, again));
  t.platform.store.values.clear();
  t.app->saver.SaveConfig();
  t.platform.store.values[kBackgroundKey] = IntegerText(loaded.background_kind);
  FUZZ_CHECK(t.platform.store.values == saved);
  return 0;
}
