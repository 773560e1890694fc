#include "tests/support/config_view_headless.h"

namespace sarvel::headless {

void ConfigViewHeadless::Create() {
  for (const ConfigControlDesign& design : kConfigControls) {
    Control& c = controls_[Index(design.id)];
    c.enabled = design.enabled;
    c.checked = design.checked;
    c.position = design.position;
    c.text = std::string(design.caption);
    c.fore_color = gfx::kBlack;
  }
  created = true;
  log.push_back("create");
}

void ConfigViewHeadless::Show(ShowMode mode) {
  visible = true;
  log.push_back(mode == ShowMode::kModal ? "show modal" : "show modeless");
}

void ConfigViewHeadless::Destroy() {
  visible = false;
  created = false;
  log.push_back("destroy");
}

FileDialogResult ConfigViewHeadless::ShowOpenDialog(const FileDialogRequest& request) {
  file_dialogs.push_back(request);
  log.push_back(visible ? "file dialog" : "file dialog (hidden)");
  if (file_answers.empty()) return FileDialogResult{true, request.file_name};
  FileDialogResult chosen{false, file_answers.front()};
  file_answers.pop_front();
  return chosen;
}

void ConfigViewHeadless::ShowMessage(const std::string& title, const std::string& text) {
  messages.push_back({title, text});
  log.push_back("message");
}

}  // namespace sarvel::headless
