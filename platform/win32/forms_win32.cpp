// Win32: which native window each form gets.
#include "platform/win32/forms_win32.h"

namespace sarvel::win32 {

std::unique_ptr<Form> FormFactoryWin32::Create(FormId id, App& app) {
  (void)app;
  switch (id) {
    case FormId::kMain:
      break;  // scene
    case FormId::kPreview:
      break;  // preview
    case FormId::kConfig:
      break;  // settings dialog
    case FormId::kInfo:
      break;  // about box
  }
  return nullptr;
}

}  // namespace sarvel::win32
