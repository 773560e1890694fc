// The headless form factory: the real form models over in-memory views, for
// tests and the command-line renderer.
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
