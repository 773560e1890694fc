// The about box's window. Sizes and places are in twips; the view converts
// them at the screen's resolution.
#pragma once

#include <cstdint>
#include <string>

#include "core/ports/form_view.h"

namespace sarvel {

// A control of the about box, as the app's design table names it.
enum class InfoControl : uint8_t;

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

}  // namespace sarvel
