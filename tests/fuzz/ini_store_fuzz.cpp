// The Linux settings file: whatever bytes the file holds (written by hand,
// half-copied, another program's), reading and writing never crash; a write
// followed by a read gives back the value written, and leaves the values of
// every other key as they read before.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "app/options.h"
#include "core/base/failure.h"
#include "frontends/posix/ini_store.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr size_t kKeyCount = sarvel::kSettingOptions.size();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sarvel;
  FuzzedDataProvider in(data, size);
  const size_t key = in.ConsumeIntegralInRange<size_t>(0, kKeyCount - 1);
  const std::string value = in.ConsumeRandomLengthString(256);
  const std::string content = in.ConsumeRemainingBytesAsString();

  const std::string path = fuzzing::LogFolder() + "/settings.ini";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
  }
  IniFileStore store(path);
  std::string before[kKeyCount];
  try {
    for (size_t k = 0; k < kKeyCount; ++k)
      before[k] =
          store.Read("Sarvel", "Settings", std::string(kSettingOptions[k].key), "\x01missing");
  } catch (const RuntimeFailure&) {
    return 0;  // a file that cannot be read is a reported failure, not a crash
  }
  store.Write("Sarvel", "Settings", std::string(kSettingOptions[key].key), value);
  FUZZ_CHECK(store.Read("Sarvel", "Settings", std::string(kSettingOptions[key].key),
                        "\x01missing") == value);
  for (size_t k = 0; k < kKeyCount; ++k) {
    if (k != key)
      FUZZ_CHECK(store.Read("Sarvel", "Settings", std::string(kSettingOptions[k].key),
                            "\x01missing") == before[k]);
  }
  // Written again over itself, the file keeps its shape.
  const std::string once = testing::ReadWholeFile(path);
  store.Write("Sarvel", "Settings", std::string(kSettingOptions[key].key), value);
  FUZZ_CHECK(testing::ReadWholeFile(path) == once);
  return 0;
}
