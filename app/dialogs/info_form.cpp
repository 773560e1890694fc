#include "app/dialogs/info_form.h"

#include <cstdio>

#include "app/app.h"
#include "app/dialogs/info_controls.h"
#include "app/maker.h"
#include "core/base/checked.h"
#include "core/report/procedure.h"

namespace sarvel {
namespace {

constexpr char kModule[] = "frmInfo";

}  // namespace

std::string VersionText(const Version& v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%d.%02d.%04d", v.major, v.minor, v.revision);
  return buf;
}

int32_t CentredEdge(int32_t screen, int32_t window) { return Sub32(screen, window) / 2; }

InfoForm::InfoForm(App& app, std::unique_ptr<InfoView> view)
    : ViewForm<InfoView>("frmInfo", std::move(view)), app_(app) {
  view_->Bind(*this);
}

void InfoForm::OnLoad() {
  Procedure p(app_.reporter, kModule, "Form_Load");
  p.Step(0, [&] {
    const TwipSize screen = view().ScreenSize();
    const TwipSize window = view().WindowSize();
    view().Move(CentredEdge(screen.width, window.width), CentredEdge(screen.height, window.height));
  });
  p.Step(0, [&] { view().SetText(InfoControl::kTitle, app_.services.exe.Title()); });
  p.Step(0, [&] {
    view().SetText(InfoControl::kVersion, VersionText(app_.services.exe.FileVersion()));
  });
}

void InfoForm::OpenHomepage() {
  Procedure p(app_.reporter, kModule, "lblHomepage_Click");
  p.Step(0, [&] { view().OpenInBrowser(kMakerAddressUrl); });
}

void InfoForm::Close() {
  Procedure p(app_.reporter, kModule, "OK_Click");
  p.Step(0, [&] { app_.forms.Unload(*this); });
}

}  // namespace sarvel
