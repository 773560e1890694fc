#include "platform/headless/info_view_headless.h"

namespace sarvel::headless {

void InfoViewHeadless::Create() {
  for (const InfoControlSpec& spec : kInfoControls) texts[Index(spec.id)] = std::string(spec.caption);
  log.push_back("create");
}

void InfoViewHeadless::Show(ShowMode mode) {
  log.push_back(mode == ShowMode::kModal ? "show modal" : "show modeless");
  if (mode == ShowMode::kModal && on_modal_show) on_modal_show(*this);
}

void InfoViewHeadless::Destroy() { log.push_back("destroy"); }

void InfoViewHeadless::Move(int32_t left_twips, int32_t top_twips) {
  left = left_twips;
  top = top_twips;
  ++moves;
}

}  // namespace sarvel::headless
