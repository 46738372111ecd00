#include "win32/Win32View.h"

#include <commctrl.h>

#include <vector>

#include "win32/FormWindow.h"
#include "win32/Resources.h"
#include "win32/WinText.h"

namespace velmora::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"VelmoraForm";
constexpr wchar_t kContainerClass[] = L"VelmoraContainer";

HWND hwndOf(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// The ids of the pictures a form shows: its background and its controls'.
std::vector<std::string> picturesOf(const Form& form) {
  std::vector<std::string> ids;
  if (!form.backgroundPicture().empty()) ids.push_back(form.backgroundPicture());
  for (const auto& control : form.controls())
    if (!control->Picture().empty()) ids.push_back(control->Picture());
  return ids;
}

}  // namespace

Win32View::Win32View(HINSTANCE instance, Pictures& pictures, CommonControls& commonControls)
    : instance_(instance), pictures_(pictures), commonControls_(commonControls),
      hand_(LoadCursorW(instance, MAKEINTRESOURCEW(kHandCursor))), arrow_(LoadCursorW(nullptr, IDC_ARROW)),
      systemDpi_(screenDpi()), drawsMarks_(!systemMarksFitTheLayout()) {
  WNDCLASSEXW form{};
  form.cbSize = sizeof form;
  form.lpfnWndProc = WindowProc;
  form.hInstance = instance;
  form.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kAppIcon));
  form.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIcon), IMAGE_ICON, 16, 16, 0));
  form.hCursor = arrow_;
  form.lpszClassName = kFormClass;
  RegisterClassExW(&form);

  WNDCLASSEXW container{};
  container.cbSize = sizeof container;
  container.lpfnWndProc = WindowProc;
  container.hInstance = instance;
  container.hCursor = arrow_;
  container.lpszClassName = kContainerClass;
  RegisterClassExW(&container);
}

Win32View::~Win32View() {
  for (auto& entry : windows_) DestroyWindow(entry.first);
}

WindowHandle Win32View::CreateFormWindow(Form& form) {
  // Every picture is looked for first, so that a missing one fails before
  // any window exists, and decoded now, unless the window is shown once in
  // a run and the picture hidden: the splash shows one of its pictures.
  auto prepare = [&](const std::string& id, bool hidden) {
    if (form.shownOnce()) pictures_.forget(id);  // not worth decoding in advance
    if (form.shownOnce() && hidden)
      pictures_.require(id);
    else
      pictures_.get(id);
  };
  if (!form.backgroundPicture().empty()) prepare(form.backgroundPicture(), false);
  for (const auto& control : form.controls())
    if (!control->Picture().empty()) prepare(control->Picture(), !control->Visible());

  auto fw = std::make_unique<FormWindow>();
  fw->owner = this;
  fw->form = &form;
  const int width = form.clientWidth();
  const int height = form.clientHeight();
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  DWORD exStyle = WS_EX_TOOLWINDOW;
  if (form.hasTaskbarButton()) {
    // The system menu and minimise box give the taskbar button its restore
    // and close; a popup window draws neither.
    style |= WS_SYSMENU | WS_MINIMIZEBOX;
    exStyle = WS_EX_APPWINDOW;
  }
  HWND hwnd = CreateWindowExW(exStyle, kFormClass, wide(form.Caption()).c_str(), style, x, y, width, height,
                              nullptr, nullptr, instance_, fw.get());
  if (!hwnd) throw PlatformFailure("无法创建窗口 " + form.name() + "（" + form.Caption() + "）");
  fw->hwnd = hwnd;
  FormWindow& created = *fw;
  windows_[hwnd] = std::move(fw);
  for (const auto& control : form.controls()) {
    if (control->windowed() && !drawnByForm(form, *control)) createChild(created, *control);
    if (control->kind() == ControlKind::Timer) updateTimer(created, *control);
    if (!control->ToolTipText().empty()) updateToolTip(created, *control);
  }
  // The focus cues stay hidden until a key is used, as on a dialog opened
  // with the mouse; the system would draw them on a focused box at once.
  SendMessageW(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
  rememberReadings(created);
  return reinterpret_cast<WindowHandle>(hwnd);
}

void Win32View::createChild(FormWindow& fw, const Control& control) {
  const Host host = hostOf(fw, control);
  RECT rc = pixelRect(control.rect());
  OffsetRect(&rc, host.offset.x, host.offset.y);
  // The state a control starts in is given with its window, so that no call
  // has to set it again (each is a trip to the window server).
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (control.Visible()) style |= WS_VISIBLE;
  if (!control.Enabled()) style |= WS_DISABLED;
  const wchar_t* cls = kContainerClass;
  std::wstring text = wide(control.Caption());
  switch (control.kind()) {
    case ControlKind::CheckBox:
      cls = L"BUTTON";
      style |= (drawsMarks_ ? BS_OWNERDRAW : BS_CHECKBOX) | WS_TABSTOP;
      break;
    case ControlKind::OptionButton:
      cls = L"BUTTON";
      style |= (drawsMarks_ ? BS_OWNERDRAW : BS_RADIOBUTTON) | WS_TABSTOP;
      break;
    case ControlKind::TextBox:
      cls = L"EDIT";
      // The text comes after the font: an edit control lays its text out
      // anew on each, and the help texts are long.
      text.clear();
      style |= ES_LEFT | WS_TABSTOP;
      if (control.MultiLine()) style |= ES_MULTILINE | ES_AUTOVSCROLL;
      else style |= ES_AUTOHSCROLL;
      if (control.Locked()) style |= ES_READONLY;
      break;
    default: style |= WS_CLIPCHILDREN; break;
  }
  // A text box with a border has the sunken edge of the classic look.
  const DWORD exStyle = control.kind() == ControlKind::TextBox && control.Border() ? WS_EX_CLIENTEDGE : 0;
  HWND child = CreateWindowExW(exStyle, cls, text.c_str(), style, rc.left, rc.top, rc.right - rc.left,
                               rc.bottom - rc.top, host.window, nullptr, instance_, &fw);
  if (!child) throw PlatformFailure("无法创建控件 " + fw.form->name() + "." + control.name());
  // Later controls lie above earlier ones, as the form hit-tests them; a new
  // child window would otherwise go under an older sibling it overlaps.
  if (overlapsOlderSibling(fw, host.window, rc))
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  fw.children[&control] = child;
  fw.controlOf[child] = &control;
  if (cls != kContainerClass) {
    SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&fw));
    fw.nativeProcs[child] =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NativeProc)));
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font(control.Font())), FALSE);
  }
  if (control.Value()) SendMessageW(child, BM_SETCHECK, BST_CHECKED, 0);
  if (!control.Text().empty()) SetWindowTextW(child, wide(control.Text()).c_str());
}

// From the layout alone: asking the windows would cost a server trip each.
bool Win32View::overlapsOlderSibling(FormWindow& fw, HWND parent, const RECT& place) {
  for (const auto& [control, sibling] : fw.children) {
    const Host host = hostOf(fw, *control);
    if (host.window != parent) continue;
    RECT other = pixelRect(control->rect()), common;
    OffsetRect(&other, host.offset.x, host.offset.y);
    if (IntersectRect(&common, &other, &place)) return true;
  }
  return false;
}

void Win32View::updateChild(FormWindow& fw, HWND child, const Control& control) {
  (void)fw;
  EnableWindow(child, control.Enabled());
  if (control.kind() == ControlKind::CheckBox || control.kind() == ControlKind::OptionButton) {
    SendMessageW(child, BM_SETCHECK, control.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
    SetWindowTextW(child, wide(control.Caption()).c_str());
  } else if (control.kind() == ControlKind::TextBox) {
    std::vector<wchar_t> current(static_cast<std::size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
    GetWindowTextW(child, current.data(), static_cast<int>(current.size()));
    const std::wstring wanted = wide(control.Text());
    if (wanted != current.data()) SetWindowTextW(child, wanted.c_str());
  }
  ShowWindow(child, control.Visible() ? SW_SHOWNA : SW_HIDE);
  InvalidateRect(child, nullptr, TRUE);
}

void Win32View::updateTimer(FormWindow& fw, const Control& control) {
  const auto& controls = fw.form->controls();
  UINT_PTR id = 1;
  for (const auto& c : controls) {
    if (c.get() == &control) break;
    ++id;
  }
  if (control.Enabled() && control.Interval() > 0) {
    fw.timers[id] = control.name();
    SetTimer(fw.hwnd, id, static_cast<UINT>(control.Interval()), nullptr);
  } else {
    fw.timers.erase(id);
    KillTimer(fw.hwnd, id);
  }
}

void Win32View::updateToolTip(FormWindow& fw, const Control& control) {
  if (!fw.tooltips) {
    commonControls_.load();
    fw.tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, fw.hwnd, nullptr,
                                  instance_, nullptr);
    if (!fw.tooltips) return;  // a missing tip costs nothing else
    SendMessageW(fw.tooltips, WM_SETFONT, reinterpret_cast<WPARAM>(font(velmora::Font{})), FALSE);
  }
  // One tool per control, present while the control is visible.
  std::wstring text = wide(control.ToolTipText());
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // the size comctl32 5.8 (XP without a manifest) knows
  tool.uFlags = TTF_SUBCLASS;
  const Host host = hostOf(fw, control);
  tool.hwnd = host.window;
  tool.uId = reinterpret_cast<UINT_PTR>(&control);
  tool.rect = pixelRect(control.rect());
  OffsetRect(&tool.rect, host.offset.x, host.offset.y);
  tool.lpszText = text.data();
  SendMessageW(fw.tooltips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (control.Visible()) SendMessageW(fw.tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// Picture boxes and frames are drawn by the window they lie in; a frame is a
// window of its own only when a control inside runs past its edges, which
// it then cuts off (the help page's texts).
bool Win32View::drawnByForm(const Form& form, const Control& control) {
  if (control.kind() == ControlKind::PictureBox) return true;
  if (control.kind() != ControlKind::Frame) return false;
  const Rect bounds{.left = 0, .top = 0, .width = control.rect().width, .height = control.rect().height};
  for (const auto& inside : form.controls()) {
    if (inside->container() != &control) continue;
    const Rect r = inside->rect();
    if (r.left < bounds.left || r.top < bounds.top || r.left + r.width > bounds.width ||
        r.top + r.height > bounds.height)
      return false;
  }
  return true;
}

// A container drawn by its window is no window of its own: what it holds
// lies in the nearest container that is one, moved by the container's place.
Win32View::Host Win32View::hostOf(FormWindow& fw, const Control& control) {
  Host host{.window = fw.hwnd, .offset = {0, 0}};
  for (const Control* c = control.container(); c; c = c->container()) {
    if (auto it = fw.children.find(c); it != fw.children.end()) {
      host.window = it->second;
      break;
    }
    const RECT place = pixelRect(c->rect());
    host.offset.x += place.left;
    host.offset.y += place.top;
  }
  return host;
}

void Win32View::DestroyFormWindow(WindowHandle window) {
  HWND hwnd = hwndOf(window);
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  for (const auto& [id, name] : it->second->timers) KillTimer(hwnd, id);
  if (GetCapture() && (GetCapture() == hwnd || IsChild(hwnd, GetCapture()))) ReleaseCapture();
  // The record goes after the window: messages sent while it is destroyed
  // still find their form.
  DestroyWindow(hwnd);
  const Form& form = *it->second->form;
  if (form.shownOnce())
    for (const std::string& id : picturesOf(form)) pictures_.forget(id);
  windows_.erase(hwnd);
}

void Win32View::ShowFormWindow(WindowHandle window) {
  HWND hwnd = hwndOf(window);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  if (auto it = windows_.find(hwnd); it != windows_.end()) {
    applyFocus(*it->second);
    announceFocus(*it->second, true);  // the screen opens on it
  }
  UpdateWindow(hwnd);
}

void Win32View::HideFormWindow(WindowHandle window) { ShowWindow(hwndOf(window), SW_HIDE); }

void Win32View::SetWindowState(WindowHandle window, int state) {
  ShowWindow(hwndOf(window), state == 1 ? SW_MINIMIZE : SW_RESTORE);
}

void Win32View::FormChanged(WindowHandle window) { InvalidateRect(hwndOf(window), nullptr, FALSE); }

void Win32View::ControlChanged(WindowHandle window, const Control& control) {
  auto it = windows_.find(hwndOf(window));
  if (it == windows_.end()) return;
  FormWindow& fw = *it->second;
  showChange(fw, control);
  announceChange(fw, control);
}

void Win32View::showChange(FormWindow& fw, const Control& control) {
  if (control.kind() == ControlKind::Timer) {
    updateTimer(fw, control);
    return;
  }
  auto child = fw.children.find(&control);
  if (child != fw.children.end()) {
    updateChild(fw, child->second, control);
    return;
  }
  if (!control.ToolTipText().empty()) updateToolTip(fw, control);
  // A windowless control: the window it lies in repaints the place it covers.
  const Host host = hostOf(fw, control);
  RECT rc = pixelRect(control.rect());
  OffsetRect(&rc, host.offset.x, host.offset.y);
  InflateRect(&rc, 1, 1);
  InvalidateRect(host.window, &rc, FALSE);
}

void Win32View::EndProgram() { PostQuitMessage(0); }

}  // namespace velmora::win32
