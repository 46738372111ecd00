// Screen readers: each form window and each native control answers
// WM_GETOBJECT with its object (Accessible.h), and WinEvents tell them what
// changed: the focus, an item's state or name, the focused setting's
// description.
#include "win32/FormWindow.h"

namespace velmora::win32 {

namespace {

bool answersForItself(ControlKind kind) {
  return kind == ControlKind::CheckBox || kind == ControlKind::OptionButton || kind == ControlKind::TextBox;
}

// The states a change of is told: a box ticked or locked, a text box made
// read-only. A picture button's looks (hover, pressed) pass through moments
// with none of its pictures shown, which no one needs to hear of.
constexpr LONG kToldStates = STATE_SYSTEM_CHECKED | STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_READONLY;

Win32View::FormWindow::Reading readingOf(const Form& form, int index) {
  return {.state = msaaState(form, index, false) & kToldStates, .name = form.itemName(index)};
}

void raise(DWORD event, HWND window, LONG child) { NotifyWinEvent(event, window, OBJID_CLIENT, child); }

}  // namespace

std::optional<LRESULT> Win32View::onGetObject(FormWindow& fw, HWND hwnd, WPARAM wParam, LPARAM lParam) {
  if (!asksForClient(lParam)) return std::nullopt;
  int item = -1;
  if (hwnd != fw.hwnd) {
    // A native control answers for its item; a frame keeps the system's object.
    auto it = fw.controlOf.find(hwnd);
    if (it == fw.controlOf.end() || !answersForItself(it->second->kind())) return std::nullopt;
    item = fw.form->itemOf(it->second->name());
    if (item < 0) return std::nullopt;
  }
  return fw.accessible.answer(*fw.form, fw.hwnd, hwnd, item, wParam);
}

void Win32View::rememberReadings(FormWindow& fw) {
  const Form& form = *fw.form;
  fw.told.clear();
  for (std::size_t i = 0; i < form.items().size(); ++i) fw.told.push_back(readingOf(form, static_cast<int>(i)));
}

// The system tells of a window that takes the Win32 focus itself: a native
// control's own object then answers. An item that leaves the Win32 focus on
// the form window is told of here, as the form's child.
void Win32View::announceFocus(FormWindow& fw, bool always) {
  const int focused = fw.form->focusedItem();
  if (focused == fw.focusAnnounced && !always) return;
  fw.focusAnnounced = focused;
  // A screen reader reads the description with the focus.
  fw.descriptionTold = focused >= 0 ? fw.form->itemDescription(focused) : std::string();
  if (focused >= 0 && GetFocus() == fw.hwnd) raise(EVENT_OBJECT_FOCUS, fw.hwnd, focused + 1);
}

void Win32View::announceChange(FormWindow& fw, const Control& control) {
  const Form& form = *fw.form;
  const bool onView = IsWindowVisible(fw.hwnd);
  const int index = form.itemOf(control.name());
  if (index >= 0 && static_cast<std::size_t>(index) < fw.told.size()) {
    FormWindow::Reading& told = fw.told[static_cast<std::size_t>(index)];
    const FormWindow::Reading now = readingOf(form, index);
    // A native control's own object is told of too.
    auto child = fw.children.find(form.find(form.items()[static_cast<std::size_t>(index)].parts.front()));
    HWND own = child != fw.children.end() && answersForItself(child->first->kind()) ? child->second : nullptr;
    for (auto [event, changed] : {std::pair{EVENT_OBJECT_STATECHANGE, now.state != told.state},
                                  std::pair{EVENT_OBJECT_NAMECHANGE, now.name != told.name}}) {
      if (!changed || !onView) continue;
      raise(event, fw.hwnd, index + 1);
      if (own) raise(event, own, CHILDID_SELF);
    }
    told = now;
  }
  // The description box's words describe the focused setting; one that
  // takes the focus during a key is told with its focus, when the key ends.
  const int focused = form.focusedItem();
  if (fw.focusPending) return;
  std::string description = focused >= 0 ? form.itemDescription(focused) : std::string();
  if (description == fw.descriptionTold) return;
  fw.descriptionTold = std::move(description);
  if (onView && !fw.descriptionTold.empty()) raise(EVENT_OBJECT_DESCRIPTIONCHANGE, fw.hwnd, focused + 1);
}

}  // namespace velmora::win32
