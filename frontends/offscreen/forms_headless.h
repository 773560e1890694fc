// The off-screen form factory: the real scene and preview over windows in
// memory. There are no dialog windows off screen; tests add their own.
#pragma once

#include <memory>

#include "app/app.h"

namespace sarvel::headless {

class FormFactoryHeadless : public FormFactory {
 public:
  // The scene's screen: its size in device pixels and its device scale.
  FormFactoryHeadless(int screen_width = 1024, int screen_height = 768, double scale = 1.0)
      : screen_width_(screen_width), screen_height_(screen_height), scale_(scale) {}
  std::unique_ptr<Form> Create(FormId id, App& app) override;

 private:
  int screen_width_;
  int screen_height_;
  double scale_;
};

}  // namespace sarvel::headless
