#pragma once
// The windows the forms are shown in. The framework owns this port: a form
// hands over its description (size, caption, pictures, controls) and gets
// back a handle; the view behind the port draws the form and reports input
// back to it. Tests put a fake behind it.
#include "platform/Types.h"

namespace velmora {

class Form;
class Control;

class WindowPort {
 public:
  virtual ~WindowPort() = default;
  // Creates the (hidden) window of a form whose controls already exist,
  // with its pictures. Throws PlatformFailure naming what could not be made.
  virtual WindowHandle CreateFormWindow(Form& form) = 0;
  virtual void DestroyFormWindow(WindowHandle window) = 0;
  virtual void ShowFormWindow(WindowHandle window) = 0;
  virtual void HideFormWindow(WindowHandle window) = 0;
  // 0 normal, 1 minimised.
  virtual void SetWindowState(WindowHandle window, int state) = 0;
  // A property of the form (back colour) or of one of its controls changed.
  virtual void FormChanged(WindowHandle window) = 0;
  virtual void ControlChanged(WindowHandle window, const Control& control) = 0;
  // The keyboard focus moved to another item (Form::focusedItem), or its
  // focus cue was shown or hidden (Form::focusCues).
  virtual void FocusChanged(WindowHandle window) = 0;
  // Leaves the message loop; every window is already destroyed.
  virtual void EndProgram() = 0;
};

}  // namespace velmora
