#pragma once
// The common controls library (comctl32), loaded when it is first needed
// instead of with the program: loading it registers its window classes and
// starts the theme engine, tens of milliseconds under Wine that a start
// would spend before the splash shows. Only the tooltip windows of the pages
// need it; the message loop loads it at its first idle moment, and a
// tooltip made before that loads it first.
#include <windows.h>

namespace velmora::win32 {

class CommonControls {
 public:
  CommonControls() = default;
  ~CommonControls();
  CommonControls(const CommonControls&) = delete;
  CommonControls& operator=(const CommonControls&) = delete;

  bool loaded() const { return tried_; }
  // Loads the library from the system folder and registers its classes;
  // does nothing after the first call. A failure leaves only the tooltips
  // out (their windows are not made).
  void load();

 private:
  HMODULE module_ = nullptr;
  bool tried_ = false;
};

}  // namespace velmora::win32
