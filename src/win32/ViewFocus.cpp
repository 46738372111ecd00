// The keyboard: the keys of a page handed to its form before they become
// characters, the Win32 focus kept where the form has it (a native control,
// or the window itself for the controls it draws), and the focus cue: the
// system's for native controls, a dotted rectangle drawn here for the rest.
#include "win32/FormWindow.h"

namespace velmora::win32 {

namespace {

bool keyOfThePage(WPARAM virtualKey, Key& key) {
  switch (virtualKey) {
    case VK_TAB: key = Key::Tab; return true;
    case VK_RETURN: key = Key::Enter; return true;
    case VK_ESCAPE: key = Key::Escape; return true;
    case VK_SPACE: key = Key::Space; return true;
    case VK_LEFT: key = Key::Left; return true;
    case VK_RIGHT: key = Key::Right; return true;
    case VK_UP: key = Key::Up; return true;
    case VK_DOWN: key = Key::Down; return true;
    default: return false;
  }
}

}  // namespace

bool Win32View::translateKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  auto it = windows_.find(GetAncestor(message.hwnd, GA_ROOT));
  if (it == windows_.end()) return false;
  Key key;
  if (!keyOfThePage(message.wParam, key)) return false;
  // With Ctrl or Alt the key is not the page's (Alt+F4 stays the system's).
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
  // A Space or Enter held down presses once, as a button takes it (in a
  // text box Space goes on typing); the repeats of a held Tab or arrow go
  // on moving the focus.
  const Form& form = *it->second->form;
  const int focused = form.focusedItem();
  const bool inText = focused >= 0 && form.items()[static_cast<std::size_t>(focused)].role == Role::EditableText;
  const bool repeat = (message.lParam & (1L << 30)) != 0;
  if (repeat && (key == Key::Enter || (key == Key::Space && !inText))) return true;
  // The form may leave the window: only the answer is used afterwards. The
  // focus moves once, where the key leaves it (the cue a key shows first
  // would otherwise take a box's Win32 focus on the way, a second focus
  // event for screen readers).
  keyInHand_ = true;
  const bool handled = it->second->form->keyDown(key, GetKeyState(VK_SHIFT) < 0);
  keyInHand_ = false;
  for (auto& [hwnd, fw] : windows_) {
    if (!fw->focusPending) continue;
    fw->focusPending = false;
    applyFocus(*fw);
    announceFocus(*fw);
  }
  return handled;
}

void Win32View::FocusChanged(WindowHandle window) {
  auto it = windows_.find(reinterpret_cast<HWND>(window));
  if (it == windows_.end()) return;
  if (keyInHand_) {
    it->second->focusPending = true;
    return;
  }
  applyFocus(*it->second);
  announceFocus(*it->second);
}

void Win32View::applyFocus(FormWindow& fw) {
  const Form& form = *fw.form;
  const int focused = form.focusedItem();
  // A native control has the Win32 focus while the cues show, and a text
  // box always (typing goes where the caret is). A check box or option
  // button with the focus would draw its focus cue whatever the window's UI
  // state says (Wine's do), which would change how a screen opened or used
  // with the mouse looks: the window keeps the focus for it then, unless the
  // button is being pressed, which a change of focus would cancel.
  HWND target = fw.hwnd;
  if (focused >= 0) {
    const Control* first = form.find(form.items()[static_cast<std::size_t>(focused)].parts.front());
    auto child = first ? fw.children.find(first) : fw.children.end();
    const bool native = child != fw.children.end() && first->kind() != ControlKind::Frame;
    if (native && (form.focusCues() || first->kind() == ControlKind::TextBox || GetCapture() == child->second))
      target = child->second;
  }
  // The cue shows after a key until the mouse is used again; the system
  // draws it on native controls, told through the window's UI state.
  const WORD cue = form.focusCues() ? UIS_CLEAR : UIS_SET;
  SendMessageW(fw.hwnd, WM_CHANGEUISTATE, MAKEWPARAM(cue, UISF_HIDEFOCUS), 0);
  // Only a window on view takes the keyboard focus.
  if (IsWindowVisible(fw.hwnd) && GetFocus() != target) SetFocus(target);
  const int drawn = target == fw.hwnd && form.focusCues() ? focused : -1;
  if (drawn != fw.focusDrawn) {
    for (int index : {fw.focusDrawn, drawn}) {
      if (index < 0) continue;
      RECT rc = pixelRect(form.itemPlace(index));
      InflateRect(&rc, 2, 2);
      InvalidateRect(fw.hwnd, &rc, FALSE);
    }
    fw.focusDrawn = drawn;
  }
}

// The dotted rectangle of the system's focus cue, just inside the item's
// picture, on the controls the window draws.
void Win32View::drawFocus(FormWindow& fw, HDC dc) {
  if (fw.focusDrawn < 0) return;
  RECT rc = pixelRect(fw.form->itemPlace(fw.focusDrawn));
  InflateRect(&rc, -1, -1);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &rc);
}

}  // namespace velmora::win32
