// The settings dialog's window without a window system: it keeps each
// control's state as the model last set it, answers the file-open dialog from
// a script and records message boxes and shell calls, so that tests can watch
// and drive the real settings dialog.
#pragma once

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "app/dialogs/config_controls.h"
#include "core/ports/config_view.h"

namespace sarvel::headless {

class ConfigViewHeadless : public ConfigView {
 public:
  struct Control {
    bool enabled = true;
    bool checked = false;
    int16_t position = 0;
    std::string text;
    gfx::Argb fore_color = gfx::kBlack;
  };
  struct Message {
    std::string title;
    std::string text;
  };

  explicit ConfigViewHeadless(WindowHandle handle = 0x1020) : handle_(handle) {}

  // FormView
  void Create() override;
  WindowHandle handle() const override { return handle_; }
  void Show(ShowMode mode) override;
  void Destroy() override;

  // ConfigView
  void Bind(ConfigInput& input) override { input_ = &input; }
  void SetChecked(ConfigControl c, bool checked) override { at(c).checked = checked; }
  void SetPosition(ConfigControl c, int16_t position) override { at(c).position = position; }
  void SetEnabled(ConfigControl c, bool enabled) override { at(c).enabled = enabled; }
  void SetText(ConfigControl c, const std::string& text) override { at(c).text = text; }
  void SetForeColor(ConfigControl c, gfx::Argb color) override { at(c).fore_color = color; }
  FileDialogResult ShowOpenDialog(const FileDialogRequest& request) override;
  void ShowMessage(const std::string& title, const std::string& text) override;
  void OpenInBrowser(const std::string& address) override { browser_calls.push_back(address); }

  // The user, through the model.
  ConfigInput& user() { return *input_; }

  const Control& control(ConfigControl c) const { return controls_[Index(c)]; }
  Control& at(ConfigControl c) { return controls_[Index(c)]; }

  // The file-open dialog's answers in order: a path is chosen with OK; once
  // they run out, the user cancels.
  std::deque<std::string> file_answers;
  std::vector<FileDialogRequest> file_dialogs;

  std::vector<Message> messages;
  std::vector<std::string> browser_calls;
  // "create", "show modeless", "show modal", "destroy" in order, with what
  // the dialog and message calls were made while the window was hidden.
  std::vector<std::string> log;
  bool created = false;
  bool visible = false;

 private:
  WindowHandle handle_;
  ConfigInput* input_ = nullptr;
  std::array<Control, kConfigControlCount> controls_;
};

}  // namespace sarvel::headless
