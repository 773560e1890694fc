#include "settings_dialog/frm_config.h"

#include <algorithm>

#include "error_reporter/procedure.h"
#include "platform/checked.h"
#include "platform/failure.h"
#include "platform/number_text.h"
#include "resources/maker.h"
#include "settings_dialog/config_mappings.h"
#include "startup/app.h"

namespace sarvel {
namespace {

constexpr char kModule[] = "frmConfig";
using C = ConfigControl;

int IndexIn(const auto& group, ConfigControl c) {
  const auto at = std::find(group.begin(), group.end(), c);
  return at == group.end() ? -1 : int(at - group.begin());
}

}  // namespace

FrmConfig::FrmConfig(App& app, std::unique_ptr<ConfigView> view)
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

SaverSettings& FrmConfig::settings() { return app_.saver.settings; }

int FrmConfig::SelectedOption() const {
  for (int i = 0; i < int(kOptBack.size()); ++i)
    if (control(kOptBack[size_t(i)]).checked) return i;
  return -1;
}

// ---------------------------------------------------------------- assignments

void FrmConfig::SetCheck(ConfigControl box, bool ticked) {
  ConfigControlState& st = controls_[Index(box)];
  if (st.checked == ticked) return;
  st.checked = ticked;
  view().SetChecked(box, ticked);
  if (box == C::kChkRandom) {
    RandomBackgroundChanged();
  } else {
    OptionBoxChanged();
  }
}

void FrmConfig::SelectOption(int index) {
  if (index < 0 || index >= int(kOptBack.size())) Raise(Err::kSubscriptOutOfRange);
  if (controls_[Index(kOptBack[size_t(index)])].checked) return;
  for (size_t i = 0; i < kOptBack.size(); ++i) {
    ConfigControlState& st = controls_[Index(kOptBack[i])];
    const bool selected = int(i) == index;
    if (st.checked == selected) continue;
    st.checked = selected;
    view().SetChecked(kOptBack[i], selected);
  }
  BackgroundChosen(index);
}

void FrmConfig::SetPosition(ConfigControl bar, int position) {
  const ScrollRange range = ScrollRangeOf(bar);
  const int16_t clamped = int16_t(std::clamp<int>(position, range.min, range.max));
  ConfigControlState& st = controls_[Index(bar)];
  if (st.position == clamped) return;
  st.position = clamped;
  view().SetPosition(bar, clamped);
  if (bar == C::kVscTime) RestartTimeChanged();
}

void FrmConfig::SetEnabled(ConfigControl c, bool enabled) {
  ConfigControlState& st = controls_[Index(c)];
  if (st.enabled == enabled) return;
  st.enabled = enabled;
  view().SetEnabled(c, enabled);
}

void FrmConfig::SetText(ConfigControl c, std::string text) {
  ConfigControlState& st = controls_[Index(c)];
  if (st.text == text) return;
  st.text = std::move(text);
  view().SetText(c, st.text);
}

void FrmConfig::SetForeColor(ConfigControl c, gfx::Argb color) {
  ConfigControlState& st = controls_[Index(c)];
  if (st.fore_color == color) return;
  st.fore_color = color;
  view().SetForeColor(c, color);
}

// ---------------------------------------------------------------- handlers

void FrmConfig::OnLoad() {
  Procedure p(app_.reporter, kModule, "Form_Load");
  SaverSettings& s = settings();
  p.Step(10, [&] { SetPosition(C::kHScroll_0, MaxLeafToPosition(s.MaxLeaf)); });
  p.Step(20, [&] { SetPosition(C::kHScroll_1, LeafSpeedToPosition(s.LeafSpeed)); });
  p.Step(30, [&] {
    // Any nonzero field is "on", as the scene reads it.
    SetCheck(C::kChkOpt_0, s.ShowDate != 0);
    SetCheck(C::kChkOpt_1, s.ShowTime != 0);
    SetCheck(C::kChkOpt_2, s.AutoRestart != 0);
  });
  int16_t minutes = 1;
  p.Step(40, [&] {
    minutes = RestartMinutes(s.RestartSeconds);
    SetText(C::kLblTime, IntegerText(minutes));
  });
  p.Step(50, [&] { SetPosition(C::kVscTime, SpinnerPosition(minutes)); });
  p.Step(60, [&] { SetText(C::kTxtFile, s.PicFile); });
  p.Step(70, [&] {
    s.BackgroundKind = ShowableBackgroundKind(s.BackgroundKind);
    if (s.BackgroundKind == kBackgroundPicture && !app_.general.FileExists(s.PicFile)) ChoosePictureFile();
  });
  p.Step(80, [&] {
    if (s.BackgroundKind == kBackgroundPicture) {
      SetEnabled(C::kTxtFile, true);
      SetEnabled(C::kCmdFile, true);
    }
  });
  bool random = false;
  p.Step(90, [&] {
    random = s.BackgroundKind == kBackgroundRandom;
    if (random) SetCheck(C::kChkRandom, true);
  });
  if (random) return;
  p.Step(100, [&] { SetCheck(C::kChkRandom, false); });
  // The Random handler above left the kind as it was.
  p.Step(110, [&] { SelectOption(s.BackgroundKind - 1); });
}

void FrmConfig::SaveAndClose() {
  Procedure p(app_.reporter, kModule, "cmdOK_Click");
  SaverSettings& s = settings();
  p.Step(10, [&] { s.MaxLeaf = PositionToMaxLeaf(control(C::kHScroll_0).position); });
  p.Step(20, [&] { s.LeafSpeed = PositionToLeafSpeed(control(C::kHScroll_1).position); });
  p.Step(30, [&] {
    s.ShowDate = control(C::kChkOpt_0).checked ? 1 : 0;
    s.ShowTime = control(C::kChkOpt_1).checked ? 1 : 0;
    s.AutoRestart = control(C::kChkOpt_2).checked ? 1 : 0;
  });
  p.Step(40, [&] { s.RestartSeconds = ToInt32(LeadingNumber(control(C::kLblTime).text) * 60.0); });
  p.Step(50, [&] { app_.saver.SaveConfig(); });
  p.Step(60, [&] { app_.forms.Unload(*this); });
}

void FrmConfig::ResetToDefaults() {
  Procedure p(app_.reporter, kModule, "cmdReset_Click");
  p.Step(10, [&] {
    SetPosition(C::kHScroll_0, 50);
    SetPosition(C::kHScroll_1, 50);
  });
  p.Step(20, [&] {
    for (ConfigControl box : kChkOpt) SetCheck(box, true);
  });
  p.Step(30, [&] { SetText(C::kLblTime, "10"); });
  p.Step(40, [&] { SetPosition(C::kVscTime, 90); });
  p.Step(50, [&] { SetCheck(C::kChkRandom, true); });
}

void FrmConfig::OptionBoxChanged() {
  // Whichever box changed, only Restart matters inside the dialog.
  Procedure p(app_.reporter, kModule, "chkOpt_Click");
  bool restart = true;
  p.Step(10, [&] {
    restart = control(C::kChkOpt_2).checked;
    SetEnabled(C::kVscTime, restart);
  });
  p.Step(20, [&] { SetForeColor(C::kLblTime, restart ? kLblTimeBlack : kLblTimeGrey); });
}

void FrmConfig::RestartTimeChanged() {
  SetText(C::kLblTime, IntegerText(100 - control(C::kVscTime).position));
}

void FrmConfig::BackgroundChosen(int index) {
  Procedure p(app_.reporter, kModule, "optBack_Click");
  SaverSettings& s = settings();
  p.Step(10, [&] { s.BackgroundKind = Add16(index, 1); });
  p.Step(20, [&] {
    const bool custom = s.BackgroundKind == kBackgroundPicture;
    SetEnabled(C::kTxtFile, custom);
    SetEnabled(C::kCmdFile, custom);
  });
  p.Step(30, [&] {
    if (s.BackgroundKind == kBackgroundPicture && !app_.general.FileExists(s.PicFile)) ChoosePictureFile();
  });
  p.Step(40, [&] { app_.saver.settings_io().WriteBackground(s.BackgroundKind); });
}

void FrmConfig::RandomBackgroundChanged() {
  Procedure p(app_.reporter, kModule, "chkRandom_Click");
  SaverSettings& s = settings();
  const bool ticked = control(C::kChkRandom).checked;
  p.Step(10, [&] {
    for (ConfigControl option : kOptBack) SetEnabled(option, !ticked);
  });
  p.Step(20, [&] {
    // Cleared, the kind stays: the load sequence selects the stored kind's
    // option only after clearing the box.
    if (ticked) s.BackgroundKind = kBackgroundRandom;
    s.RandomBackground = ticked;
  });
  p.Step(30, [&] { app_.saver.settings_io().WriteBackground(s.BackgroundKind); });
}

void FrmConfig::ChoosePictureFile() {
  Procedure p(app_.reporter, kModule, "cmdFile_Click");
  SaverSettings& s = settings();
  const std::string before = s.PicFile;
  FileDialogRequest request;
  p.Step(10, [&] {
    request.filter = std::string(kPictureFilter);
    request.flags = kPictureDialogFlags;
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
    p.Step(30, [&] { s.PicFile = answer.cancelled ? before : answer.file_name; });
    if (p.left() || answer.cancelled) return;
    p.Step(40, [&] {
      found = app_.services.files.FindPlainFile(s.PicFile);
      if (!found) view().ShowMessage(std::string(kNoValidFileTitle), std::string(kNoValidFileText));
    });
    if (p.left()) return;
  }
  p.Step(50, [&] { SetText(C::kTxtFile, s.PicFile); });
}

void FrmConfig::ShowAbout() { app_.forms.Show(app_.frmInfo(), ShowMode::kModal); }

void FrmConfig::OpenHomepage() { view().OpenInBrowser(kSaverPageUrl); }

// ---------------------------------------------------------------- user input

void FrmConfig::UserSetsCheck(ConfigControl box, bool ticked) {
  if (IsCheckBox(box) && control(box).enabled) SetCheck(box, ticked);
}

void FrmConfig::UserSelectsOption(ConfigControl option) {
  const int index = IndexIn(kOptBack, option);
  if (index >= 0 && control(option).enabled) SelectOption(index);
}

void FrmConfig::UserScrolls(ConfigControl bar, int position) {
  if (IsScrollBar(bar) && control(bar).enabled) SetPosition(bar, position);
}

void FrmConfig::UserClicks(ConfigControl button) {
  if (!control(button).enabled) return;
  switch (button) {
    case C::kCmdOK: SaveAndClose(); break;
    case C::kCmdReset: ResetToDefaults(); break;
    case C::kCmdInfo: ShowAbout(); break;
    case C::kCmdHomepage: OpenHomepage(); break;
    case C::kCmdFile: ChoosePictureFile(); break;
    default: break;
  }
}

void FrmConfig::UserCloses() { app_.forms.Unload(*this); }

}  // namespace sarvel
