#include "tests/support/info_view_headless.h"

#include "core/base/failure.h"

namespace sarvel::headless {

void InfoViewHeadless::Create() {
  for (const InfoControlDesign& design : kInfoControls)
    texts[Index(design.id)] = std::string(design.caption);
  log.push_back("create");
}

void InfoViewHeadless::Show(ShowMode mode) {
  log.push_back(mode == ShowMode::kModal ? "show modal" : "show modeless");
  if (mode == ShowMode::kModal && on_modal_show) on_modal_show(*this);
}

void InfoViewHeadless::Move(int32_t left_twips, int32_t top_twips) {
  if (failing_moves > 0) {
    --failing_moves;
    Raise(Err::kInvalidCall);
  }
  left = left_twips;
  top = top_twips;
  ++moves;
}

}  // namespace sarvel::headless
