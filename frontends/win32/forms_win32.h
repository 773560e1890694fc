// Win32: the native windows of Sarvel.scr's forms.
#pragma once

#include <memory>

#include "core/ports/form_factory.h"
#include "core/ports/process.h"
#include "core/ports/resource_library.h"

namespace sarvel::win32 {

class FormFactoryWin32 : public FormFactory {
 public:
  FormFactoryWin32(Process& process, ResourceLibrary& resources)
      : process_(process), resources_(resources) {}

  std::unique_ptr<SceneView> CreateSceneView() override;
  std::unique_ptr<PreviewView> CreatePreviewView() override;
  std::unique_ptr<ConfigView> CreateConfigView() override;
  std::unique_ptr<InfoView> CreateInfoView() override;

 private:
  Process& process_;
  ResourceLibrary& resources_;
};

}  // namespace sarvel::win32
