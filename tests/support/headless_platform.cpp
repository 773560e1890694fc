#include "tests/support/headless_platform.h"

#include <cstdio>
#include <cstring>

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

void System::ShowCursor(bool show) {
  Record(Call("ShowCursor", {show}));
  cursor_count += show ? 1 : -1;
}

void System::GetClientArea(WindowHandle window, ClientRect& rect) {
  Record(Call("GetClientArea", {window}));
  const auto it = windows.find(window);
  if (it != windows.end()) rect = it->second;
}

int32_t System::WindowStyle(WindowHandle window) {
  Record(Call("WindowStyle", {window}));
  const auto it = styles.find(window);
  return it == styles.end() ? 0 : it->second;
}

void System::SetWindowStyle(WindowHandle window, int32_t style) {
  Record(Call("SetWindowStyle", {window, style}));
  styles[window] = style;
}

void System::SetParent(WindowHandle child, WindowHandle parent) {
  Record(Call("SetParent", {child, parent}));
}

void System::SetOwner(WindowHandle window, WindowHandle owner) {
  Record(Call("SetOwner", {window, owner}));
}

void System::ShowInParent(WindowHandle window, int32_t width, int32_t height) {
  Record(Call("ShowInParent", {window, width, height}));
}

bool System::SetTopMost(WindowHandle window, bool topmost, bool activate) {
  Record(Call("SetTopMost", {window, topmost, activate}));
  return true;
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

int32_t System::QueryVersion(OsVersion& info) {
  Record(Call("QueryVersion", {info.size}));
  if (info.size != 148) return 0;
  info = version;
  info.size = 148;
  return version_result;
}

OsVersion System::WindowsNt(uint32_t major, uint32_t minor, uint32_t build, const char* csd) {
  OsVersion v;
  v.platform_id = kPlatformWinNT;
  v.major = major;
  v.minor = minor;
  v.build = build;
  std::strncpy(v.csd.data(), csd, v.csd.size() - 1);
  return v;
}

OsVersion System::Windows9x() {
  OsVersion v;
  v.platform_id = kPlatformWin9x;
  v.major = 4;
  v.minor = 10;
  v.build = (4u << 24) | (10u << 16) | 2222u;
  std::strncpy(v.csd.data(), " A ", v.csd.size() - 1);
  return v;
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
