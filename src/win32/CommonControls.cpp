#include "win32/CommonControls.h"

#include <commctrl.h>

#include <string>

namespace velmora::win32 {

CommonControls::~CommonControls() {
  if (module_) FreeLibrary(module_);
}

void CommonControls::load() {
  if (tried_) return;
  tried_ = true;
  // From the system folder by its full name: a comctl32.dll beside the exe
  // is never taken (comctl32 is not one of the known DLLs).
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::wstring path = std::wstring(folder, length) + L"\\comctl32.dll";
  module_ = LoadLibraryW(path.c_str());
  if (!module_) return;
  using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = reinterpret_cast<InitEx>(reinterpret_cast<void*>(GetProcAddress(module_, "InitCommonControlsEx")));
  if (!init) return;
  INITCOMMONCONTROLSEX controls{.dwSize = sizeof(INITCOMMONCONTROLSEX), .dwICC = ICC_WIN95_CLASSES};
  init(&controls);
}

}  // namespace velmora::win32
