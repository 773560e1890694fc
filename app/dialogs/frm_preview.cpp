#include "app/dialogs/frm_preview.h"

#include "app/app.h"
#include "app/resource_ids.h"
#include "core/gfx/painter.h"
#include "core/report/procedure.h"

namespace sarvel {

FrmPreview::FrmPreview(App& app, std::unique_ptr<PreviewView> view)
    : ViewForm<PreviewView>("frmPreview", std::move(view)), app_(app) {
  view_->SetEvents(this);
}

void FrmPreview::PaintPicture() {
  Procedure p(app_.reporter, "frmPreview", "Form_Resize");
  p.Step(0, [&] {
    const gfx::ImageRef picture = app_.services.resources.Bitmap(IDB_PREVIEW);
    gfx::DrawStretched(view_->WindowImage(), *picture,
                       gfx::Rect{0, 0, view_->ClientWidth(), view_->ClientHeight()});
    view_->Refresh();
  });
}

bool FrmPreview::OnUnload() {
  Procedure p(app_.reporter, "frmPreview", "Form_Unload");
  p.Step(0, [&] { app_.saver.exitScreensaver(); });
  return true;
}

}  // namespace sarvel
