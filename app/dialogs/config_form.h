// The settings dialog: the controls' state, the rule that a
// control's handler runs whenever its state changes (by the user or by an
// assignment here) and never when the state assigned is the one it has, and
// the handlers of the window and its background group.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/dialogs/config_controls.h"
#include "app/forms.h"
#include "core/ports/config_view.h"

namespace sarvel {

class App;
class Procedure;
struct SaverSettings;
enum class DialogMapping : uint8_t;

struct ConfigControlState {
  bool enabled = true;
  bool checked = false;
  int16_t position = 0;
  std::string text;
  gfx::Argb fore_color = gfx::kBlack;
};

class ConfigForm : public ViewForm<ConfigView>, public ConfigInput {
 public:
  ConfigForm(App& app, std::unique_ptr<ConfigView> view);

  // Handlers, as the controls raise them.
  void SaveAndClose();
  void ResetToDefaults();
  void OptionBoxChanged();
  void RestartTimeChanged();
  void BackgroundChosen(int index);
  void RandomBackgroundChanged();
  void ChoosePictureFile();
  void ShowAbout();
  void OpenHomepage();

  // ConfigInput: what the user does. Disabled controls take nothing.
  void UserSetsCheck(ConfigControl box, bool ticked) override;
  void UserSelectsOption(ConfigControl option) override;
  void UserScrolls(ConfigControl bar, int position) override;
  void UserClicks(ConfigControl button) override;
  void UserCloses() override;

  const ConfigControlState& control(ConfigControl c) const { return controls_[Index(c)]; }
  // Index of the selected option button.
  int SelectedOption() const;
  // The name dlgFile holds between openings.
  const std::string& dialog_file_name() const { return dialog_file_name_; }

 protected:
  void OnLoad() override;

 private:
  // Control assignments; each runs the control's handler when it changes
  // the state.
  void SetCheck(ConfigControl box, bool ticked);
  void SelectOption(int index);
  void SetPosition(ConfigControl bar, int position);
  void SetEnabled(ConfigControl c, bool enabled);
  void SetText(ConfigControl c, std::string text);
  void SetForeColor(ConfigControl c, gfx::Argb color);

  // The options of the table that `mapping` covers, shown from `s` or
  // taken back into it, in the table's order.
  void Show(DialogMapping mapping, const SaverSettings& s);
  void Take(DialogMapping mapping, SaverSettings& s);
  // The restart interval's minutes label, then its spinner, as steps `line`
  // and `line` + 10.
  void ShowMinutes(Procedure& p, int32_t line, const SaverSettings& s);

  SaverSettings& settings();

  App& app_;
  std::array<ConfigControlState, kConfigControlCount> controls_;
  std::string dialog_file_name_;
};

}  // namespace sarvel
