// The view's window procedures: one small function per message, each
// turning what Windows reports into what the form understands.
#include <windowsx.h>

#include <vector>

#include "win32/FormWindow.h"
#include "win32/WinText.h"

namespace velmora::win32 {

namespace {

int buttonMask(WPARAM keys) {
  int mask = 0;
  if (keys & MK_LBUTTON) mask |= button::kLeft;
  if (keys & MK_RBUTTON) mask |= button::kRight;
  if (keys & MK_MBUTTON) mask |= button::kMiddle;
  return mask;
}

bool isMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK; }

}  // namespace

LRESULT CALLBACK Win32View::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* fw = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (!fw || !fw->form) return DefWindowProcW(hwnd, message, wParam, lParam);
  return fw->owner->handle(*fw, hwnd, message, wParam, lParam);
}

LRESULT Win32View::handle(FormWindow& fw, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  std::optional<LRESULT> handled;
  switch (message) {
    case WM_PAINT: handled = onPaint(fw, hwnd); break;
    case WM_ERASEBKGND: handled = 1; break;  // the paint covers every pixel
    case WM_SETCURSOR: handled = onSetCursor(fw, lParam); break;
    case WM_TIMER: handled = onTimer(fw, wParam); break;
    case WM_CLOSE: handled = onClose(fw); break;
    case WM_COMMAND: handled = onCommand(fw, wParam, lParam); break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: handled = onCtlColor(fw, wParam, lParam); break;
    case WM_DRAWITEM: handled = onDrawItem(fw, lParam); break;
    case WM_GETOBJECT: handled = onGetObject(fw, hwnd, wParam, lParam); break;
    case kDefaultActionMessage:
      // A screen reader's default action, accepted while its call ran; the
      // form may leave the window.
      if (hwnd == fw.hwnd) fw.form->doDefaultAction(static_cast<int>(wParam));
      handled = 0;
      break;
    case WM_NEXTDLGCTL:
      // A multi-line text box asks its parent to move the focus on Tab.
      fw.form->keyDown(Key::Tab, wParam != 0 && LOWORD(lParam) == 0);
      handled = 0;
      break;
    default:
      if (isMouseMessage(message)) handled = onMouse(fw, hwnd, message, wParam, lParam);
      break;
  }
  return handled ? *handled : DefWindowProcW(hwnd, message, wParam, lParam);
}

std::optional<LRESULT> Win32View::onPaint(FormWindow& fw, HWND hwnd) {
  // A picture not decoded yet (the splash decodes only the one it shows)
  // is decoded before the paint begins, under the run's guard: one that
  // cannot be decoded ends the program with its message, and this window
  // is gone when the guard returns.
  Runtime& runtime = fw.form->runtime();
  runtime.guard([&] { decodePictures(*fw.form); });
  if (runtime.ended()) {
    if (IsWindow(hwnd)) ValidateRect(hwnd, nullptr);
    return 0;
  }
  paint(fw, hwnd);
  return 0;
}

// The hand over a control that asks for it, the arrow elsewhere.
std::optional<LRESULT> Win32View::onSetCursor(FormWindow& fw, LPARAM lParam) {
  if (LOWORD(lParam) != HTCLIENT) return std::nullopt;
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(fw.hwnd, &p);
  const Control* under = fw.form->controlAt(p.x, p.y);
  SetCursor(under && under->Cursor() == CursorShape::Hand ? hand_ : arrow_);
  return TRUE;
}

std::optional<LRESULT> Win32View::onTimer(FormWindow& fw, WPARAM id) {
  auto it = fw.timers.find(id);
  if (it != fw.timers.end()) {
    const std::string timer = it->second;
    fw.form->timerTick(timer);
  }
  return 0;
}

std::optional<LRESULT> Win32View::onClose(FormWindow& fw) {
  fw.form->systemClose();
  return 0;
}

// A native control's news: a check box or option button clicked, or the
// text of a text box changed.
std::optional<LRESULT> Win32View::onCommand(FormWindow& fw, WPARAM wParam, LPARAM lParam) {
  HWND from = reinterpret_cast<HWND>(lParam);
  auto it = fw.controlOf.find(from);
  if (it == fw.controlOf.end()) return std::nullopt;
  Form& form = *fw.form;
  const std::string name = it->second->name();
  if (HIWORD(wParam) == BN_CLICKED) {
    form.userToggle(name);
  } else if (HIWORD(wParam) == EN_CHANGE) {
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(from)) + 1, L'\0');
    GetWindowTextW(from, text.data(), static_cast<int>(text.size()));
    if (Control* target = form.find(name)) target->setText(narrow(text.data()));
  }
  return 0;
}

// The colours of a native control.
std::optional<LRESULT> Win32View::onCtlColor(FormWindow& fw, WPARAM wParam, LPARAM lParam) {
  auto it = fw.controlOf.find(reinterpret_cast<HWND>(lParam));
  if (it == fw.controlOf.end()) return std::nullopt;
  const Control& control = *it->second;
  // A text box not given colours keeps the system's window colours.
  const bool textBox = control.kind() == ControlKind::TextBox;
  if (textBox && !control.BackColor()) return std::nullopt;
  return reinterpret_cast<LRESULT>(controlColours(control, reinterpret_cast<HDC>(wParam)));
}

HBRUSH Win32View::controlColours(const Control& control, HDC dc) {
  const Colour back = control.BackColor().value_or(kButtonFace);
  SetTextColor(dc, control.Enabled() ? colorRef(control.ForeColor()) : GetSysColor(COLOR_GRAYTEXT));
  SetBkColor(dc, colorRef(back));
  return brush(back);
}

// A check box or option button that the view draws itself.
std::optional<LRESULT> Win32View::onDrawItem(FormWindow& fw, LPARAM lParam) {
  const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  auto it = fw.controlOf.find(item.hwndItem);
  if (it == fw.controlOf.end()) return std::nullopt;
  drawMarkButton(*it->second, item);
  return TRUE;
}

std::optional<LRESULT> Win32View::onMouse(FormWindow& fw, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!forwardMouse(fw, hwnd, message, wParam, lParam)) return std::nullopt;
  return 0;
}

bool Win32View::forwardMouse(FormWindow& fw, HWND from, UINT message, WPARAM wParam, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  MapWindowPoints(from, fw.hwnd, &p, 1);
  Form& form = *fw.form;
  const bool native = fw.nativeProcs.count(from) != 0;
  int pressed = 0;
  switch (message) {
    case WM_MOUSEMOVE:
      form.mouseMove(p.x, p.y, buttonMask(wParam));
      return true;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: pressed = button::kLeft; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: pressed = button::kRight; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: pressed = button::kMiddle; break;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
      const int released = message == WM_LBUTTONUP ? button::kLeft
                           : message == WM_RBUTTONUP ? button::kRight : button::kMiddle;
      form.mouseUp(p.x, p.y, released);
      // The release may have unloaded the form: only the handle is used now.
      // Releasing the capture first would let the move it causes end the
      // form's own capture before the release reaches it.
      if (!native && buttonMask(wParam) == 0 && IsWindow(from) && GetCapture() == from) ReleaseCapture();
      return true;
    }
    default:
      return false;
  }
  if (!native) SetCapture(from);
  form.mouseDown(p.x, p.y, pressed);
  return true;
}

LRESULT CALLBACK Win32View::NativeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* fw = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!fw) return DefWindowProcW(hwnd, message, wParam, lParam);
  // The subclass is not undone at WM_NCDESTROY: the window is gone after it,
  // and its form's record outlives it.
  const WNDPROC original = fw->nativeProcs[hwnd];
  if (message == WM_CHAR) {
    // The form hears the key before the control takes it.
    auto it = fw->controlOf.find(hwnd);
    if (it != fw->controlOf.end()) {
      const std::string name = it->second->name();
      fw->form->keyPress(name, static_cast<int>(wParam));
      if (!IsWindow(hwnd)) return 0;
    }
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
  }
  if (isMouseMessage(message)) {
    // A button the view draws reports a double click instead of a press;
    // the system's check box takes it as a second press, and so does ours.
    if (message == WM_LBUTTONDBLCLK && fw->owner->drawsMarks_) {
      auto it = fw->controlOf.find(hwnd);
      if (it != fw->controlOf.end() && it->second->kind() == ControlKind::CheckBox) message = WM_LBUTTONDOWN;
    }
    // The control does its own part (press look, toggle, caret) first.
    const LRESULT result = CallWindowProcW(original, hwnd, message, wParam, lParam);
    if (IsWindow(hwnd)) fw->owner->forwardMouse(*fw, hwnd, message, wParam, lParam);
    return result;
  }
  if (message == WM_SETCURSOR) return fw->owner->handle(*fw, hwnd, message, wParam, lParam);
  if (message == WM_GETOBJECT)
    if (const auto answer = fw->owner->onGetObject(*fw, hwnd, wParam, lParam)) return *answer;
  if (message == BM_GETCHECK && fw->owner->drawsMarks_) {
    // A button the view draws keeps no state of its own: its control's value is it.
    auto it = fw->controlOf.find(hwnd);
    if (it != fw->controlOf.end()) return it->second->Value() ? BST_CHECKED : BST_UNCHECKED;
  }
  if (message == WM_SETFOCUS) {
    // A click (or the system) gave a native control the focus: the form's follows.
    const LRESULT result = CallWindowProcW(original, hwnd, message, wParam, lParam);
    if (auto it = fw->controlOf.find(hwnd); it != fw->controlOf.end()) {
      const std::string name = it->second->name();
      fw->form->focusTaken(name);
    }
    return result;
  }
  return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

}  // namespace velmora::win32
