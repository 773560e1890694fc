// The settings dialog's window. The view shows the dialog's controls (the
// app's kConfigControls) in their design state when it is created; from then
// on the form tells it every change, and the view passes the user's actions
// to the form through ConfigInput without changing any control state itself.
#pragma once

#include <cstdint>
#include <string>

#include "core/gfx/color.h"
#include "core/ports/form_view.h"

namespace sarvel {

// A control of the dialog, as the app's design table names it.
enum class ConfigControl : uint8_t;

// The user's actions on the window.
class ConfigInput {
 public:
  virtual ~ConfigInput() = default;
  virtual void UserSetsCheck(ConfigControl box, bool ticked) = 0;
  virtual void UserSelectsOption(ConfigControl option) = 0;
  virtual void UserScrolls(ConfigControl bar, int position) = 0;
  virtual void UserClicks(ConfigControl button) = 0;
  virtual void UserCloses() = 0;  // the close box
};

// The file-open dialog.
struct FileDialogRequest {
  std::string filter;           // "description|patterns", one entry
  bool hide_read_only = false;  // no "open read-only" box
  std::string file_name;        // the name the dialog holds from earlier openings
};

struct FileDialogResult {
  bool cancelled = false;
  // The chosen full path; after Cancel the name the component held before.
  std::string file_name;
};

class ConfigView : public FormView {
 public:
  virtual void Bind(ConfigInput& input) = 0;
  virtual void SetChecked(ConfigControl c, bool checked) = 0;
  virtual void SetPosition(ConfigControl c, int16_t position) = 0;
  virtual void SetEnabled(ConfigControl c, bool enabled) = 0;
  virtual void SetText(ConfigControl c, const std::string& text) = 0;
  virtual void SetForeColor(ConfigControl c, gfx::Argb color) = 0;
  // Modal over the window (which may still be hidden).
  virtual FileDialogResult ShowOpenDialog(const FileDialogRequest& request) = 0;
  // A message box with one OK button and no icon.
  virtual void ShowMessage(const std::string& title, const std::string& text) = 0;
  // Asks the shell to open a web address, owned by this window; the outcome
  // is not looked at.
  virtual void OpenInBrowser(const std::string& address) = 0;
};

}  // namespace sarvel
