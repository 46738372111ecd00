#pragma once
// The windowing toolkit: real windows for the screens' forms. The forms own
// their controls; the toolkit renders them and reports input back to them.
#include "platform/Types.h"

namespace velmora {

class Form;
class Control;

class Windowing {
 public:
  virtual ~Windowing() = default;
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
  // Leaves the message loop; every window is already destroyed.
  virtual void EndProgram() = 0;
};

}  // namespace velmora
