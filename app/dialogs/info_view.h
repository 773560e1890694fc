// What info_form needs of its window. Sizes and places are in twips; the view
// converts them at the screen's resolution.
#pragma once

#include <cstdint>
#include <string>

#include "app/dialogs/info_controls.h"
#include "core/ports/form_view.h"

namespace sarvel {

// The user's actions on the about box.
class InfoInput {
 public:
  virtual ~InfoInput() = default;
  virtual void UserClicksHomepage() = 0;
  virtual void UserClicksOK() = 0;
};

struct TwipSize {
  int32_t width = 0;
  int32_t height = 0;
};

class InfoView : public FormView {
 public:
  virtual void Bind(InfoInput& input) = 0;
  virtual TwipSize ScreenSize() = 0;
  // The whole window, border included.
  virtual TwipSize WindowSize() = 0;
  // Left and top may be negative: the window then stands partly off screen.
  virtual void Move(int32_t left, int32_t top) = 0;
  virtual void SetText(InfoControl label, const std::string& text) = 0;
  // Asks the shell to open a web address, owned by this window; the outcome
  // is not looked at.
  virtual void OpenInBrowser(const std::string& address) = 0;
};

// Declares every call of InfoView and FormView in a view that implements
// them all.
#define SARVEL_INFO_VIEW_OVERRIDES                                   \
  SARVEL_FORM_VIEW_OVERRIDES;                                        \
  void Bind(InfoInput& input) override;                              \
  TwipSize ScreenSize() override;                                    \
  TwipSize WindowSize() override;                                    \
  void Move(int32_t left, int32_t top) override;                     \
  void SetText(InfoControl label, const std::string& text) override; \
  void OpenInBrowser(const std::string& address) override

}  // namespace sarvel
