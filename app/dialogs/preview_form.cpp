#include "app/dialogs/preview_form.h"

#include "app/app.h"
#include "app/resource_ids.h"
#include "core/gfx/painter.h"
#include "core/report/procedure.h"

namespace sarvel {

PreviewForm::PreviewForm(App& app, std::unique_ptr<PreviewView> view)
    : ViewForm<PreviewView>("frmPreview", std::move(view)), app_(app) {
  view_->SetEvents(this);
}

void PreviewForm::PaintPicture() {
  Procedure p(app_.reporter, "frmPreview", "Form_Resize");
  p.Step(0, [&] {
    const gfx::ImageRef picture = app_.services.resources.Bitmap(IDB_PREVIEW);
    gfx::DrawStretched(view_->WindowImage(), *picture,
                       gfx::Rect{0, 0, view_->ClientWidth(), view_->ClientHeight()});
    view_->Refresh();
  });
}

void PreviewForm::OnHostGone() { app_.forms.Unload(*this); }

bool PreviewForm::OnUnload() {
  Procedure p(app_.reporter, "frmPreview", "Form_Unload");
  p.Step(0, [&] { app_.saver.EndRun(); });
  return true;
}

}  // namespace sarvel
