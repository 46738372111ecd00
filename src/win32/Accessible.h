#pragma once
// What a screen reader is told of a form window, through Microsoft Active
// Accessibility (MSAA, oleacc): the window's client object is the form, and
// its children are the form's items (Form::items; child id = index + 1),
// each a simple element. A native check box, option button or text box
// also answers for its own item. Words, roles and states come from the
// form's model, whoever draws the control (the system, or the view at a
// DPI the system's marks do not fit). The objects live with their window:
// when it goes they are cut off from their clients, which then get an
// error instead of reaching a form that has left the screen.
#include <windows.h>

#include <oleacc.h>

#include <map>

#include "shell/framework/Form.h"
#include "win32/ComPtr.h"

namespace velmora::win32 {

// The message an accepted default action is posted with (wParam: the item),
// so that it runs after the screen reader's call has returned, never inside
// it. WM_USER and the few after it are the dialog manager's.
inline constexpr UINT kDefaultActionMessage = WM_APP + 1;

// Whether WM_GETOBJECT asks for the client object. A 64-bit build gets the
// object id zero-extended in lParam.
inline bool asksForClient(LPARAM lParam) { return static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT; }

// An item's role and state as MSAA numbers them. `hasFocus`: whether the
// form's window or one of its controls has the keyboard focus.
LONG msaaRole(Role role);
LONG msaaState(const Form& form, int index, bool hasFocus);

class AccessibleObject;

// The objects of one form window, each made on its first request and kept
// while the window lives: a client asking twice gets the same object.
class AccessibleObjects {
 public:
  AccessibleObjects();
  ~AccessibleObjects();
  AccessibleObjects(const AccessibleObjects&) = delete;
  AccessibleObjects& operator=(const AccessibleObjects&) = delete;

  // The answer to WM_GETOBJECT(OBJID_CLIENT) of `window`: the form window
  // itself (item -1), or the native control that shows `item`.
  LRESULT answer(Form& form, HWND formWindow, HWND window, int item, WPARAM wParam);

 private:
  std::map<HWND, ComPtr<AccessibleObject>> objects_;
};

// COM on the program's thread for the run (the objects are handed to other
// processes through it); a failure leaves screen readers unanswered only.
class OleSession {
 public:
  OleSession() : result_(OleInitialize(nullptr)) {}
  ~OleSession() {
    if (SUCCEEDED(result_)) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  HRESULT result_;
};

}  // namespace velmora::win32
