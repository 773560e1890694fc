#include "tests/support/headless_platform.h"

#include "core/base/failure.h"

namespace sarvel::headless {

void System::Record(const char* name, std::initializer_list<int64_t> args) {
  std::string call = std::string(name) + "(";
  for (int64_t a : args) call += (call.back() == '(' ? "" : ", ") + std::to_string(a);
  call += ")";
  calls.push_back(call);
  const auto failing = failing_calls.find(call);
  if (failing == failing_calls.end() || failing->second == 0) return;
  if (failing->second > 0) --failing->second;
  Raise(Err::kInvalidCall);
}

bool System::VerifySaverPassword(WindowHandle window) {
  Record("VerifySaverPassword", {window});
  if (password_answers.empty()) return true;
  const bool answer = password_answers.front();
  password_answers.erase(password_answers.begin());
  return answer;
}

void MemoryStore::Write(const std::string& app, const std::string& section, const std::string& key,
                        const std::string& text) {
  if (fail_writes_after >= 0 && int(writes.size()) >= fail_writes_after)
    Raise(Err::kPathFileAccess);
  MapStore::Write(app, section, key, text);
  writes.push_back(key + "=" + text);
}

void HeadlessProcess::EndProgram() {
  ++ends;
  throw ProgramEnded{};
}

void HeadlessProcess::FatalError(const std::string& message) { throw FatalStop{message}; }

void RecordingForm::OnLoad() {
  log_.push_back("load " + name());
  if (on_load) on_load();
}

bool RecordingForm::OnUnload() {
  log_.push_back("unload " + name());
  return on_unload ? on_unload() : true;
}

void RecordingForm::ShowWindow(ShowMode mode) {
  log_.push_back(std::string(mode == ShowMode::kModal ? "show modal " : "show ") + name());
}

}  // namespace sarvel::headless
