// The command line: ParseSaverSwitch and Main's dispatch on the headless
// platform. The first byte picks the surroundings (another instance running,
// a platform whose saver keeps its own password); the rest is the argument
// text. Whatever the text, Main opens at most the one form its request names,
// writes at most a bounded number of protocols, and a full-screen run ends
// with the system state restored.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/run_request.h"
#include "app/saver.h"
#include "core/base/checked.h"
#include "core/base/failure.h"
#include "tests/fuzz/fuzz_support.h"

namespace sarvel {
namespace {

bool Contains(const std::vector<std::string>& v, const std::string& s) {
  for (const std::string& x : v)
    if (x == s) return true;
  return false;
}

using Mode = RunRequest::Mode;

}  // namespace
}  // namespace sarvel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sarvel;
  if (size == 0) return 0;
  const uint8_t flags = data[0];
  const std::string args(reinterpret_cast<const char*>(data + 1), size - 1);

  const RunRequest request = ParseSaverSwitch(args);
  bool fits = true;
  WindowHandle handle = 0;
  try {
    handle = ToInt32(request.window_number);
  } catch (const RuntimeFailure& f) {
    FUZZ_CHECK(f.number() == int32_t(Err::kOverflow));
    fits = false;
  }

  testing::TestApp t(fuzzing::LogFolder());
  t.platform.process.another_instance = (flags & 1) != 0;
  if (flags & 2) t.platform.system.own_password = true;
  t.platform.system.windows[handle] = PixelSize{152, 112};
  bool ended = false;
  try {
    ended = t.RunMain(args);
  } catch (...) {
    FUZZ_CHECK(!"Main let a failure escape");
  }
  FUZZ_CHECK(!ended);
  const std::string log = fuzzing::TakeLog();
  FUZZ_CHECK(fuzzing::Protocols(log) <= 3);
  FUZZ_CHECK(fuzzing::Protocols(log) == t.platform.process.beeps);

  const auto& calls = t.platform.system.calls;
  const auto& forms = t.factory.log;
  const bool full_screen = request.mode == Mode::kFullScreen || request.mode == Mode::kWindow;
  FUZZ_CHECK(t.app->saver.full_screen_run == (full_screen && !(flags & 1)));
  // Only a full-screen run switches activation off; every other start leaves it.
  const bool switched_off = !calls.empty() && calls.front() == "SetScreenSaverActive(0)";
  FUZZ_CHECK(switched_off == t.app->saver.full_screen_run);
  FUZZ_CHECK(t.platform.system.screensaver_active == !t.app->saver.full_screen_run);
  if (request.mode == Mode::kPreview) {
    FUZZ_CHECK(Contains(forms, "load frmPreview") == fits);
    FUZZ_CHECK(fits || fuzzing::Protocols(log) == 3);
    if (fits)
      FUZZ_CHECK(Contains(calls, "EmbedInPreviewHost(4112, " + std::to_string(handle) + ")"));
  } else if (request.mode == Mode::kSettings) {
    FUZZ_CHECK(forms ==
               (std::vector<std::string>{"create frmConfig", "load frmConfig", "show frmConfig"}));
  } else if (full_screen && !(flags & 1)) {
    FUZZ_CHECK(forms ==
               (std::vector<std::string>{"create frmMain", "load frmMain", "show frmMain"}));
    FUZZ_CHECK(t.platform.system.cursor_count == -1 && t.platform.system.screensaver_running);
    // The run ends through the one exit, and leaves the system as it was.
    bool exited = false;
    try {
      t.app->saver.EndRun();
    } catch (const ProgramEnded&) {
      exited = true;
    }
    FUZZ_CHECK(exited);
    FUZZ_CHECK(t.platform.system.cursor_count == 0);
    FUZZ_CHECK(t.platform.system.screensaver_active && !t.platform.system.screensaver_running);
  } else {
    FUZZ_CHECK(forms.empty());
    if (request.mode == Mode::kPasswordChange && (flags & 2) && fits)
      FUZZ_CHECK(Contains(calls, "ChangeSaverPassword(" + std::to_string(handle) + ")"));
  }
  return 0;
}
