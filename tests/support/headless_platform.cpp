#include "tests/support/headless_platform.h"

#include <cstdio>

#include "core/base/failure.h"

namespace sarvel::headless {
namespace {

std::string Call(const char* name, std::initializer_list<int64_t> args) {
  std::string s = std::string(name) + "(";
  bool first = true;
  for (int64_t a : args) {
    if (!first) s += ", ";
    s += std::to_string(a);
    first = false;
  }
  return s + ")";
}

}  // namespace

void System::Record(std::string call) {
  calls.push_back(call);
  const auto failing = failing_calls.find(call);
  if (failing == failing_calls.end() || failing->second == 0) return;
  if (failing->second > 0) --failing->second;
  Raise(Err::kInvalidCall);
}

void System::SetScreenSaverActive(bool active) {
  Record(Call("SetScreenSaverActive", {active}));
  screensaver_active = active;
}

void System::SetSaverRunning(bool running) {
  Record(Call("SetSaverRunning", {running}));
  screensaver_running = running;
}

void System::SetCursorHidden(bool hidden) {
  Record(Call("SetCursorHidden", {hidden}));
  cursor_count += hidden ? -1 : 1;
}

PixelSize System::PreviewHostSize(WindowHandle host) {
  Record(Call("PreviewHostSize", {host}));
  const auto it = windows.find(host);
  return it == windows.end() ? PixelSize{} : it->second;
}

void System::EmbedInPreviewHost(WindowHandle window, WindowHandle host) {
  Record(Call("EmbedInPreviewHost", {window, host}));
}

void System::ShowInPreviewHost(WindowHandle window, int32_t width, int32_t height) {
  Record(Call("ShowInPreviewHost", {window, width, height}));
}

bool System::KeepOnTop(WindowHandle window, bool on_top, bool activate) {
  Record(Call("KeepOnTop", {window, on_top, activate}));
  return true;
}

bool System::SaverHasOwnPassword() {
  Record(Call("SaverHasOwnPassword", {}));
  return own_password;
}

void System::ChangeSaverPassword(WindowHandle owner) {
  Record(Call("ChangeSaverPassword", {owner}));
}

bool System::VerifySaverPassword(WindowHandle window) {
  Record(Call("VerifySaverPassword", {window}));
  if (password_answers.empty()) return true;
  const bool answer = password_answers.front();
  password_answers.erase(password_answers.begin());
  return answer;
}

SystemDescription System::DescribeSystem() {
  Record(Call("DescribeSystem", {}));
  return description;
}

std::string MemoryStore::Read(const std::string& app, const std::string& section,
                              const std::string& key, const std::string& default_text) {
  if (fail_reads) Raise(Err::kPathFileAccess);
  return MapStore::Read(app, section, key, default_text);
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

void HeadlessProcess::FatalError(const std::string& message) {
  fatal_message = message;
  throw FatalStop{message};
}

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
