#include "win32/Win32View.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cmath>
#include <vector>

#include "shell/framework/Form.h"
#include "win32/Resources.h"
#include "win32/WinText.h"

namespace velmora::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"VelmoraForm";
constexpr wchar_t kContainerClass[] = L"VelmoraContainer";

HWND hwndOf(WindowHandle window) { return reinterpret_cast<HWND>(window); }

RECT pixelRect(const Rect& r) {
  RECT rc;
  rc.left = static_cast<LONG>(std::lround(r.left));
  rc.top = static_cast<LONG>(std::lround(r.top));
  rc.right = rc.left + static_cast<LONG>(std::lround(r.width));
  rc.bottom = rc.top + static_cast<LONG>(std::lround(r.height));
  return rc;
}

int buttonMask(WPARAM keys) {
  int mask = 0;
  if (keys & MK_LBUTTON) mask |= button::kLeft;
  if (keys & MK_RBUTTON) mask |= button::kRight;
  if (keys & MK_MBUTTON) mask |= button::kMiddle;
  return mask;
}

}  // namespace

struct Win32View::FormWindow {
  Win32View* owner = nullptr;
  Form* form = nullptr;
  HWND hwnd = nullptr;
  std::map<const Control*, HWND> children;
  std::map<HWND, const Control*> controlOf;
  std::map<HWND, WNDPROC> nativeProcs;
  std::map<UINT_PTR, std::string> timers;
  HWND tooltips = nullptr;  // destroyed with the form: it is owned by it
};

Win32View::Win32View(HINSTANCE instance, Pictures& pictures)
    : instance_(instance), pictures_(pictures),
      hand_(LoadCursorW(instance, MAKEINTRESOURCEW(kHandCursor))), arrow_(LoadCursorW(nullptr, IDC_ARROW)) {
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
  // Decode every picture first, so that a missing one fails before any
  // window exists.
  if (!form.backgroundPicture().empty()) pictures_.get(form.backgroundPicture());
  for (const auto& control : form.controls())
    if (!control->Picture().empty()) pictures_.get(control->Picture());

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
    if (control->windowed()) createChild(created, *control);
    if (control->kind() == ControlKind::Timer) updateTimer(created, *control);
    if (!control->ToolTipText().empty()) updateToolTip(created, *control);
  }
  return reinterpret_cast<WindowHandle>(hwnd);
}

void Win32View::createChild(FormWindow& fw, const Control& control) {
  HWND parent = containerWindow(fw, control.container());
  const RECT rc = pixelRect(control.rect());
  const std::wstring caption = wide(control.Caption());
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  const wchar_t* cls = kContainerClass;
  std::wstring text = caption;
  switch (control.kind()) {
    case ControlKind::CheckBox: cls = L"BUTTON"; style |= BS_CHECKBOX | WS_TABSTOP; break;
    case ControlKind::OptionButton: cls = L"BUTTON"; style |= BS_RADIOBUTTON | WS_TABSTOP; break;
    case ControlKind::TextBox:
      cls = L"EDIT";
      // The text comes after the font (updateChild): an edit control lays
      // its text out anew on each, and the help texts are long.
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
                               rc.bottom - rc.top, parent, nullptr, instance_, &fw);
  if (!child) throw PlatformFailure("无法创建控件 " + fw.form->name() + "." + control.name());
  // Later controls lie above earlier ones, as the form hit-tests them; a new
  // child window would otherwise go under its older siblings.
  SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  fw.children[&control] = child;
  fw.controlOf[child] = &control;
  if (cls != kContainerClass) {
    SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&fw));
    fw.nativeProcs[child] =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NativeProc)));
  }
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font(control.Font())), FALSE);
  updateChild(fw, child, control);
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
  tool.hwnd = containerWindow(fw, control.container());
  tool.uId = reinterpret_cast<UINT_PTR>(&control);
  tool.rect = pixelRect(control.rect());
  tool.lpszText = text.data();
  SendMessageW(fw.tooltips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (control.Visible()) SendMessageW(fw.tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HWND Win32View::containerWindow(FormWindow& fw, const Control* container) {
  if (!container) return fw.hwnd;
  auto it = fw.children.find(container);
  return it == fw.children.end() ? fw.hwnd : it->second;
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
  windows_.erase(hwnd);
}

void Win32View::ShowFormWindow(WindowHandle window) {
  HWND hwnd = hwndOf(window);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
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
  // A windowless control: its container repaints the place it covers.
  HWND container = containerWindow(fw, control.container());
  RECT rc = pixelRect(control.rect());
  InflateRect(&rc, 1, 1);
  InvalidateRect(container, &rc, FALSE);
}

void Win32View::EndProgram() { PostQuitMessage(0); }

HFONT Win32View::font(const velmora::Font& f) {
  const auto key = std::make_tuple(f.face, static_cast<int>(std::lround(f.points * 10)), f.bold, f.charset);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second.get();
  HDC screen = GetDC(nullptr);
  const int pixels = -MulDiv(static_cast<int>(std::lround(f.points * 10)), GetDeviceCaps(screen, LOGPIXELSY), 720);
  ReleaseDC(nullptr, screen);
  HFONT created = CreateFontW(pixels, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                              static_cast<BYTE>(f.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, DEFAULT_PITCH, wide(f.face).c_str());
  return fonts_.emplace(key, FontHandle(created)).first->second.get();
}

HBRUSH Win32View::brush(Colour colour) {
  auto it = brushes_.find(colour);
  if (it == brushes_.end()) it = brushes_.emplace(colour, Brush(CreateSolidBrush(colour))).first;
  return it->second.get();
}

void Win32View::paint(FormWindow& fw, HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  {
    MemoryDc buffer(dc, client.right, client.bottom);
    HDC mem = buffer.get();
    const Form& form = *fw.form;
    if (hwnd == fw.hwnd) {
      FillRect(mem, &client, brush(form.BackColor()));
      if (!form.backgroundPicture().empty()) pictures_.draw(mem, form.backgroundPicture(), 0, 0);
      drawWindowless(fw, mem, nullptr, 0, 0);
    } else if (auto it = fw.controlOf.find(hwnd); it != fw.controlOf.end()) {
      const Control& box = *it->second;
      FillRect(mem, &client, brush(box.BackColor().value_or(kButtonFace)));
      if (!box.Picture().empty()) pictures_.draw(mem, box.Picture(), 0, 0);
      if (box.kind() == ControlKind::Frame) {
        // An etched border, broken at the top-left by the caption.
        Selected selectedFont(mem, font(box.Font()));
        SIZE extent{};
        const std::wstring caption = wide(box.Caption());
        GetTextExtentPoint32W(mem, caption.c_str(), static_cast<int>(caption.size()), &extent);
        RECT border = client;
        border.top = extent.cy / 2;
        DrawEdge(mem, &border, EDGE_ETCHED, BF_RECT);
        if (!caption.empty()) {
          RECT captionRect{8, 0, 8 + extent.cx + 2, extent.cy};
          FillRect(mem, &captionRect, brush(box.BackColor().value_or(kButtonFace)));
          SetBkMode(mem, TRANSPARENT);
          SetTextColor(mem, box.ForeColor());
          TextOutW(mem, 9, 0, caption.c_str(), static_cast<int>(caption.size()));
        }
      }
      drawWindowless(fw, mem, &box, 0, 0);
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
  }
  EndPaint(hwnd, &ps);
}

void Win32View::drawWindowless(FormWindow& fw, HDC dc, const Control* container, int originX, int originY) {
  for (const auto& owned : fw.form->controls()) {
    const Control& control = *owned;
    if (control.container() != container || control.windowed() || !control.Visible()) continue;
    RECT rc = pixelRect(control.rect());
    OffsetRect(&rc, originX, originY);
    if (control.kind() == ControlKind::Image && !control.Picture().empty()) {
      pictures_.draw(dc, control.Picture(), rc.left, rc.top);
    } else if (control.kind() == ControlKind::Label) {
      if (!control.BackTransparent()) FillRect(dc, &rc, brush(control.BackColor().value_or(kButtonFace)));
      Selected selectedFont(dc, font(control.Font()));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, control.Enabled() ? control.ForeColor() : GetSysColor(COLOR_GRAYTEXT));
      const std::wstring caption = wide(control.Caption());
      DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rc, DT_WORDBREAK | DT_NOPREFIX);
    }
  }
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
  switch (message) {
    case WM_PAINT:
      paint(fw, hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT) break;
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(fw.hwnd, &p);
      const Control* under = fw.form->controlAt(p.x, p.y);
      SetCursor(under && under->Cursor() == CursorShape::Hand ? hand_ : arrow_);
      return TRUE;
    }
    case WM_TIMER: {
      auto it = fw.timers.find(wParam);
      if (it != fw.timers.end()) {
        const std::string timer = it->second;
        fw.form->timerTick(timer);
      }
      return 0;
    }
    case WM_CLOSE:
      fw.form->systemClose();
      return 0;
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lParam);
      auto it = fw.controlOf.find(from);
      if (it == fw.controlOf.end()) break;
      const Control& control = *it->second;
      Form& form = *fw.form;
      const std::string name = control.name();
      if (HIWORD(wParam) == BN_CLICKED) {
        form.userToggle(name);
      } else if (HIWORD(wParam) == EN_CHANGE) {
        std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(from)) + 1, L'\0');
        GetWindowTextW(from, text.data(), static_cast<int>(text.size()));
        if (Control* target = form.find(name)) target->setText(narrow(text.data()));
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: {
      auto it = fw.controlOf.find(reinterpret_cast<HWND>(lParam));
      if (it == fw.controlOf.end()) break;
      const Control& control = *it->second;
      HDC dc = reinterpret_cast<HDC>(wParam);
      // A text box not given colours keeps the system's window colours.
      const bool textBox = control.kind() == ControlKind::TextBox;
      if (textBox && !control.BackColor()) break;
      const Colour back = control.BackColor().value_or(kButtonFace);
      SetTextColor(dc, control.Enabled() ? control.ForeColor() : GetSysColor(COLOR_GRAYTEXT));
      SetBkColor(dc, back);
      return reinterpret_cast<LRESULT>(brush(back));
    }
    default:
      if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK && forwardMouse(fw, hwnd, message, wParam, lParam))
        return 0;
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32View::NativeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* fw = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!fw) return DefWindowProcW(hwnd, message, wParam, lParam);
  const WNDPROC original = fw->nativeProcs[hwnd];
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
  }
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
  if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) {
    // The control does its own part (press look, toggle, caret) first.
    const LRESULT result = CallWindowProcW(original, hwnd, message, wParam, lParam);
    if (IsWindow(hwnd)) fw->owner->forwardMouse(*fw, hwnd, message, wParam, lParam);
    return result;
  }
  if (message == WM_SETCURSOR) return fw->owner->handle(*fw, hwnd, message, wParam, lParam);
  return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

}  // namespace velmora::win32
