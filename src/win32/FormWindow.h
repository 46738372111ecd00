#pragma once
// What the view keeps for the window of one loaded form, shared by the
// view's parts (windows, painting, messages).
#include <windows.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "shell/framework/Form.h"
#include "win32/Accessible.h"
#include "win32/Win32View.h"

namespace velmora::win32 {

struct Win32View::FormWindow {
  Win32View* owner = nullptr;
  Form* form = nullptr;
  HWND hwnd = nullptr;
  std::map<const Control*, HWND> children;
  std::map<HWND, const Control*> controlOf;
  std::map<HWND, WNDPROC> nativeProcs;
  std::map<UINT_PTR, std::string> timers;
  HWND tooltips = nullptr;  // destroyed with the form: it is owned by it
  // The item whose focus rectangle is drawn, -1 for none.
  int focusDrawn = -1;
  // A focus move during a key, put into effect once the key is handled.
  bool focusPending = false;

  // Screen readers (ViewAccess.cpp): the objects they hold, cut off when
  // the window goes; what they were last told: the item whose focus was
  // announced, each item's state (its focus aside) and name, and the
  // description of the focused setting.
  AccessibleObjects accessible;
  int focusAnnounced = -1;
  struct Reading {
    LONG state;
    std::string name;
  };
  std::vector<Reading> told;
  std::string descriptionTold;
};

// A control's place in whole pixels.
inline RECT pixelRect(const Rect& r) {
  RECT rc;
  rc.left = static_cast<LONG>(std::lround(r.left));
  rc.top = static_cast<LONG>(std::lround(r.top));
  rc.right = rc.left + static_cast<LONG>(std::lround(r.width));
  rc.bottom = rc.top + static_cast<LONG>(std::lround(r.height));
  return rc;
}

}  // namespace velmora::win32
