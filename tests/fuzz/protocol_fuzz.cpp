// The error protocol with hostile texts: module, procedure, description,
// program line and the service-pack field of the version query may hold any
// bytes. The protocol has exactly 18 lines, each ending in CR LF, unless one
// of the texts itself holds a line break; and a report appends exactly the
// protocol and one empty line to the log.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/report/protocol.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool HasBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sarvel;
  FuzzedDataProvider in(data, size);
  testing::TestApp t(fuzzing::LogFolder());
  CurrentFailure& failure = t.app->reporter.current_failure();
  failure.number = in.ConsumeIntegral<int32_t>();
  failure.description = in.ConsumeRandomLengthString(200);
  failure.line = in.ConsumeIntegral<int32_t>();
  const std::string module = in.ConsumeRandomLengthString(100);
  const std::string procedure = in.ConsumeRandomLengthString(100);
  if (in.ConsumeBool()) t.app->reporter.SetProgInfo(in.ConsumeRandomLengthString(100));
  SystemDescription& os = t.platform.system.description;
  os.platform = in.ConsumeRandomLengthString(20);
  os.major = in.ConsumeIntegral<uint32_t>();
  os.minor = in.ConsumeIntegral<uint32_t>();
  os.build = in.ConsumeIntegral<uint32_t>();
  os.details = in.ConsumeRandomLengthString(128);
  LocalTime& now = t.platform.clock.now;
  now = LocalTime{in.ConsumeIntegral<int>(),
                  in.ConsumeIntegral<int>(),
                  in.ConsumeIntegral<int>(),
                  in.ConsumeIntegral<int>(),
                  in.ConsumeIntegral<int>(),
                  in.ConsumeIntegral<int>(),
                  0};

  fuzzing::TakeLog();
  const int16_t answer = t.app->reporter.OnError(module, procedure);
  FUZZ_CHECK(answer == kRetry);
  const std::string log = fuzzing::TakeLog();
  const ErrorRecord& record = t.app->reporter.record();
  const std::string protocol = BuildProtocol(record, now, os);
  FUZZ_CHECK(log == protocol + "\r\n");
  FUZZ_CHECK(protocol.compare(0, 72, std::string(70, '-') + "\r\n") == 0);

  bool breaks = HasBreak(record.prog_info) || HasBreak(os.details) || HasBreak(os.platform);
  for (const std::string& row : record.rows) breaks = breaks || HasBreak(row);
  if (!breaks) {
    int lines = 0;
    for (size_t at = 0; at < protocol.size(); ++at) {
      const char c = protocol[at];
      if (c == '\n') FUZZ_CHECK(false);  // every LF belongs to a CR LF
      if (c == '\r') {
        FUZZ_CHECK(at + 1 < protocol.size() && protocol[at + 1] == '\n');
        ++lines;
        ++at;
      }
    }
    FUZZ_CHECK(lines == 18);
    FUZZ_CHECK(protocol.size() >= 2 && protocol.compare(protocol.size() - 2, 2, "\r\n") == 0);
  }
  return 0;
}
