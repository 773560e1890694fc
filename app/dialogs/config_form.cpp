#include "app/dialogs/config_form.h"

#include <algorithm>

#include "app/app.h"
#include "app/dialogs/config_mappings.h"
#include "app/maker.h"
#include "app/options.h"
#include "core/base/checked.h"
#include "core/base/failure.h"
#include "core/base/number_text.h"
#include "core/report/procedure.h"

namespace sarvel {
namespace {

constexpr char kModule[] = "frmConfig";
using C = ConfigControl;

int IndexIn(const auto& group, ConfigControl c) {
  const auto at = std::find(group.begin(), group.end(), c);
  return at == group.end() ? -1 : int(at - group.begin());
}

}  // namespace

ConfigForm::ConfigForm(App& app, std::unique_ptr<ConfigView> view)
    : ViewForm<ConfigView>("frmConfig", std::move(view)), app_(app) {
  for (const ConfigControlDesign& design : kConfigControls) {
    ConfigControlState& st = controls_[Index(design.id)];
    st.enabled = design.enabled;
    st.checked = design.checked;
    st.position = design.position;
    st.text = std::string(design.caption);
    st.fore_color = gfx::kBlack;
  }
  view_->Bind(*this);
}

SaverSettings& ConfigForm::settings() { return app_.saver.settings; }

int ConfigForm::SelectedOption() const {
  for (int i = 0; i < int(kBackgroundOptions.size()); ++i)
    if (control(kBackgroundOptions[size_t(i)]).checked) return i;
  return -1;
}

// ---------------------------------------------------------------- assignments

void ConfigForm::SetCheck(ConfigControl box, bool ticked) {
  ConfigControlState& st = controls_[Index(box)];
  if (st.checked == ticked) return;
  st.checked = ticked;
  view().SetChecked(box, ticked);
  if (box == C::kRandomBox) {
    RandomBackgroundChanged();
  } else {
    OptionBoxChanged();
  }
}

void ConfigForm::SelectOption(int index) {
  if (index < 0 || index >= int(kBackgroundOptions.size())) Raise(Err::kSubscriptOutOfRange);
  if (controls_[Index(kBackgroundOptions[size_t(index)])].checked) return;
  for (size_t i = 0; i < kBackgroundOptions.size(); ++i) {
    ConfigControlState& st = controls_[Index(kBackgroundOptions[i])];
    const bool selected = int(i) == index;
    if (st.checked == selected) continue;
    st.checked = selected;
    view().SetChecked(kBackgroundOptions[i], selected);
  }
  BackgroundChosen(index);
}

void ConfigForm::SetPosition(ConfigControl bar, int position) {
  const ScrollRange range = ScrollRangeOf(bar);
  const int16_t clamped = int16_t(std::clamp<int>(position, range.min, range.max));
  ConfigControlState& st = controls_[Index(bar)];
  if (st.position == clamped) return;
  st.position = clamped;
  view().SetPosition(bar, clamped);
  if (bar == C::kMinutesSpinner) RestartTimeChanged();
}

void ConfigForm::SetEnabled(ConfigControl c, bool enabled) {
  ConfigControlState& st = controls_[Index(c)];
  if (st.enabled == enabled) return;
  st.enabled = enabled;
  view().SetEnabled(c, enabled);
}

void ConfigForm::SetText(ConfigControl c, std::string text) {
  ConfigControlState& st = controls_[Index(c)];
  if (st.text == text) return;
  st.text = std::move(text);
  view().SetText(c, st.text);
}

void ConfigForm::SetForeColor(ConfigControl c, gfx::Argb color) {
  ConfigControlState& st = controls_[Index(c)];
  if (st.fore_color == color) return;
  st.fore_color = color;
  view().SetForeColor(c, color);
}

// ---------------------------------------------------------------- the options' controls

void ConfigForm::Show(DialogMapping mapping, const SaverSettings& s) {
  for (const SettingOption& o : kSettingOptions) {
    if (o.mapping != mapping) continue;
    const ConfigControl c = ControlOf(o);
    const double value = NumberOf(o, s);
    switch (mapping) {
      case DialogMapping::kLeafCountSlider:
        SetPosition(c, MaxLeafToPosition(int16_t(value)));
        break;
      case DialogMapping::kSpeedSlider:
        SetPosition(c, LeafSpeedToPosition(float(value)));
        break;
      // Any nonzero field is "on", as the scene reads it.
      case DialogMapping::kCheckBox:
        SetCheck(c, value != 0);
        break;
      default:
        break;
    }
  }
}

void ConfigForm::ShowMinutes(Procedure& p, int32_t line, const SaverSettings& s) {
  const SettingOption& interval = OptionOf(&SaverSettings::restart_seconds);
  int16_t minutes = 1;
  p.Step(line, [&] {
    minutes = RestartMinutes(int32_t(NumberOf(interval, s)));
    SetText(ControlOf(interval), IntegerText(minutes));
  });
  p.Step(line + 10, [&] { SetPosition(C::kMinutesSpinner, SpinnerPosition(minutes)); });
}

void ConfigForm::Take(DialogMapping mapping, SaverSettings& s) {
  for (const SettingOption& o : kSettingOptions) {
    if (o.mapping != mapping) continue;
    const ConfigControlState& st = control(ControlOf(o));
    switch (mapping) {
      case DialogMapping::kLeafCountSlider:
        SetNumber(o, s, PositionToMaxLeaf(st.position));
        break;
      case DialogMapping::kSpeedSlider:
        SetNumber(o, s, PositionToLeafSpeed(st.position));
        break;
      case DialogMapping::kCheckBox:
        SetNumber(o, s, st.checked ? 1 : 0);
        break;
      case DialogMapping::kRestartMinutes:
        SetNumber(o, s, LeadingNumber(st.text) * 60.0);
        break;
      default:
        break;
    }
  }
}

// ---------------------------------------------------------------- handlers

void ConfigForm::OnLoad() {
  Procedure p(app_.reporter, kModule, "Form_Load");
  SaverSettings& s = settings();
  p.Step(10, [&] { Show(DialogMapping::kLeafCountSlider, s); });
  p.Step(20, [&] { Show(DialogMapping::kSpeedSlider, s); });
  p.Step(30, [&] { Show(DialogMapping::kCheckBox, s); });
  ShowMinutes(p, 40, s);
  p.Step(60, [&] { SetText(C::kPicturePathBox, s.picture_file); });
  p.Step(70, [&] {
    s.background_kind = ShowableBackgroundKind(s.background_kind);
    if (s.background_kind == kBackgroundPicture && !app_.general.FileExists(s.picture_file))
      ChoosePictureFile();
  });
  p.Step(80, [&] {
    if (s.background_kind == kBackgroundPicture) {
      SetEnabled(C::kPicturePathBox, true);
      SetEnabled(C::kChoosePictureButton, true);
    }
  });
  bool random = false;
  p.Step(90, [&] {
    random = s.background_kind == kBackgroundRandom;
    if (random) SetCheck(C::kRandomBox, true);
  });
  if (random) return;
  p.Step(100, [&] { SetCheck(C::kRandomBox, false); });
  // The Random handler above left the kind as it was.
  p.Step(110, [&] { SelectOption(PaintedIndexOf(s.background_kind)); });
}

void ConfigForm::SaveAndClose() {
  Procedure p(app_.reporter, kModule, "cmdOK_Click");
  SaverSettings& s = settings();
  p.Step(10, [&] { Take(DialogMapping::kLeafCountSlider, s); });
  p.Step(20, [&] { Take(DialogMapping::kSpeedSlider, s); });
  p.Step(30, [&] { Take(DialogMapping::kCheckBox, s); });
  p.Step(40, [&] { Take(DialogMapping::kRestartMinutes, s); });
  p.Step(50, [&] { app_.saver.SaveConfig(); });
  p.Step(60, [&] { app_.forms.Unload(*this); });
}

void ConfigForm::ResetToDefaults() {
  Procedure p(app_.reporter, kModule, "cmdReset_Click");
  const SaverSettings defaults = DefaultButtonSettings(settings());
  p.Step(10, [&] {
    Show(DialogMapping::kLeafCountSlider, defaults);
    Show(DialogMapping::kSpeedSlider, defaults);
  });
  p.Step(20, [&] { Show(DialogMapping::kCheckBox, defaults); });
  ShowMinutes(p, 30, defaults);
  p.Step(50, [&] { SetCheck(C::kRandomBox, defaults.random_background); });
}

void ConfigForm::OptionBoxChanged() {
  // Whichever box changed, only Restart matters inside the dialog.
  Procedure p(app_.reporter, kModule, "chkOpt_Click");
  bool restart = true;
  p.Step(10, [&] {
    restart = control(C::kRestartBox).checked;
    SetEnabled(C::kMinutesSpinner, restart);
  });
  p.Step(20, [&] { SetForeColor(C::kMinutesLabel, restart ? kMinutesBlack : kMinutesGrey); });
}

void ConfigForm::RestartTimeChanged() {
  SetText(C::kMinutesLabel, IntegerText(100 - control(C::kMinutesSpinner).position));
}

void ConfigForm::BackgroundChosen(int index) {
  Procedure p(app_.reporter, kModule, "optBack_Click");
  SaverSettings& s = settings();
  p.Step(10, [&] { s.background_kind = kPaintedKinds[size_t(index)]; });
  p.Step(20, [&] {
    const bool custom = s.background_kind == kBackgroundPicture;
    SetEnabled(C::kPicturePathBox, custom);
    SetEnabled(C::kChoosePictureButton, custom);
  });
  p.Step(30, [&] {
    if (s.background_kind == kBackgroundPicture && !app_.general.FileExists(s.picture_file))
      ChoosePictureFile();
  });
  p.Step(40, [&] { app_.saver.settings_io().WriteBackground(s.background_kind); });
}

void ConfigForm::RandomBackgroundChanged() {
  Procedure p(app_.reporter, kModule, "chkRandom_Click");
  SaverSettings& s = settings();
  const bool ticked = control(C::kRandomBox).checked;
  p.Step(10, [&] {
    for (ConfigControl option : kBackgroundOptions) SetEnabled(option, !ticked);
  });
  p.Step(20, [&] {
    // Cleared, the kind stays: the load sequence selects the stored kind's
    // option only after clearing the box.
    if (ticked) s.background_kind = kBackgroundRandom;
    s.random_background = ticked;
  });
  p.Step(30, [&] { app_.saver.settings_io().WriteBackground(s.background_kind); });
}

void ConfigForm::ChoosePictureFile() {
  Procedure p(app_.reporter, kModule, "cmdFile_Click");
  SaverSettings& s = settings();
  const std::string before = s.picture_file;
  FileDialogRequest request;
  p.Step(10, [&] {
    request.filter = std::string(kPictureFilter);
    request.hide_read_only = true;
  });
  for (bool found = false; !found;) {
    FileDialogResult answer;
    p.Step(20, [&] {
      request.file_name = dialog_file_name_;
      answer = view().ShowOpenDialog(request);
      dialog_file_name_ = answer.file_name;
    });
    // Cancel always lets the user out and keeps the picture the chooser
    // started with: at the first opening the dialog has no name to report,
    // and a name refused earlier must not be insisted on.
    p.Step(30, [&] { s.picture_file = answer.cancelled ? before : answer.file_name; });
    if (p.left() || answer.cancelled) return;
    p.Step(40, [&] {
      found = app_.services.files.FindPlainFile(s.picture_file);
      if (!found) view().ShowMessage(std::string(kNoValidFileTitle), std::string(kNoValidFileText));
    });
    if (p.left()) return;
  }
  p.Step(50, [&] { SetText(C::kPicturePathBox, s.picture_file); });
}

void ConfigForm::ShowAbout() { app_.forms.Show(app_.info_form(), ShowMode::kModal); }

void ConfigForm::OpenHomepage() { view().OpenInBrowser(kSaverPageUrl); }

// ---------------------------------------------------------------- user input

void ConfigForm::UserSetsCheck(ConfigControl box, bool ticked) {
  if (IsCheckBox(box) && control(box).enabled) SetCheck(box, ticked);
}

void ConfigForm::UserSelectsOption(ConfigControl option) {
  const int index = IndexIn(kBackgroundOptions, option);
  if (index >= 0 && control(option).enabled) SelectOption(index);
}

void ConfigForm::UserScrolls(ConfigControl bar, int position) {
  if (IsScrollBar(bar) && control(bar).enabled) SetPosition(bar, position);
}

void ConfigForm::UserClicks(ConfigControl button) {
  if (!control(button).enabled) return;
  switch (button) {
    case C::kOkButton:
      SaveAndClose();
      break;
    case C::kDefaultsButton:
      ResetToDefaults();
      break;
    case C::kInfoButton:
      ShowAbout();
      break;
    case C::kHomepageButton:
      OpenHomepage();
      break;
    case C::kChoosePictureButton:
      ChoosePictureFile();
      break;
    default:
      break;
  }
}

void ConfigForm::UserCloses() { app_.forms.Unload(*this); }

}  // namespace sarvel
