// The about box's window without a window system: a screen of a size the
// test chooses, the labels' texts, where the window was moved and what the
// shell was asked to open.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/dialogs/info_controls.h"
#include "core/ports/info_view.h"

namespace sarvel::headless {

class InfoViewHeadless : public InfoView {
 public:
  explicit InfoViewHeadless(WindowHandle handle = 0x1030) : handle_(handle) {}

  // FormView; a modal Show returns at once
  void Create() override;
  WindowHandle handle() const override { return handle_; }
  void Show(ShowMode mode) override;
  void Destroy() override { log.push_back("destroy"); }

  // InfoView
  void Bind(InfoInput& input) override { input_ = &input; }
  TwipSize ScreenSize() override { return screen; }
  TwipSize WindowSize() override { return {kInfoClientWidth, kInfoClientHeight}; }
  void Move(int32_t left, int32_t top) override;
  void SetText(InfoControl label, const std::string& text) override { texts[Index(label)] = text; }
  void OpenInBrowser(const std::string& address) override { browser_calls.push_back(address); }

  InfoInput& user() { return *input_; }
  const std::string& text(InfoControl c) const { return texts[Index(c)]; }

  TwipSize screen{1024 * 15, 768 * 15};
  int32_t left = 0;
  int32_t top = 0;
  int moves = 0;
  int failing_moves = 0;  // the next so many moves fail
  std::array<std::string, kInfoControlCount> texts;
  std::vector<std::string> browser_calls;
  std::vector<std::string> log;
  std::function<void(InfoViewHeadless&)> on_modal_show;

 private:
  WindowHandle handle_;
  InfoInput* input_ = nullptr;
};

}  // namespace sarvel::headless
